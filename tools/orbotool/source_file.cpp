#include "source_file.h"

#include <cstring>

#include "cart/cart_file.h"
#include "platform/log.h"

namespace {
bool ends_with(const char* s, const char* suffix)
{
    size_t a = strlen(s), b = strlen(suffix);
    return a >= b && strcmp(s + a - b, suffix) == 0;
}

// The code section of a text cartridge, as the cartridge reader gives it.
bool read_cart_code(const char* path, std::string* out)
{
    kiln_log_set_stdout(false);  // the reader's notices would mix with the output
    orbo_cart_ptr cart = orbo_load_cart_file(path);
    if (!cart) return false;
    *out = cart->code;
    return true;
}
}  // namespace

bool read_program_text(const char* path, std::string* text)
{
    text->clear();
    bool ok = ends_with(path, ".ob") ? read_cart_code(path, text) : orbotool_read_file(path, text);
    if (ok) text->resize(strlen(text->c_str()));
    return ok;
}
