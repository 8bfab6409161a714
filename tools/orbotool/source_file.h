// Reading the files orbotool's commands work on.
#pragma once
#include <cstdio>
#include <string>

// The program text of FILE: for a cartridge (".ob") its code section, for
// any other file its bytes as they are. The text ends at its first zero
// byte, as programs do. False (with errno set) when the file can't be read.
bool read_program_text(const char* path, std::string* text);

// The whole file, zero bytes included (the compiler sees every byte).
inline bool orbotool_read_file(const char* path, std::string* text)
{
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text->append(buf, n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}
