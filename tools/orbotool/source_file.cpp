#include "source_file.h"

#include <cstdio>
#include <cstring>

namespace {

bool read_whole_file(const char* path, std::string* out)
{
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    out->clear();
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

bool ends_with(const char* s, const char* suffix)
{
    size_t a = strlen(s), b = strlen(suffix);
    return a >= b && strcmp(s + a - b, suffix) == 0;
}

// Seam for cartridge files: once the cartridge reader exists this takes
// the code section of the ".ob" text. Until then the whole file is the
// program.
bool read_cart_code(const char* path, std::string* out) { return read_whole_file(path, out); }

}  // namespace

bool read_program_text(const char* path, std::string* text)
{
    bool ok = ends_with(path, ".ob") ? read_cart_code(path, text) : read_whole_file(path, text);
    if (ok) text->resize(strlen(text->c_str()));
    return ok;
}
