// Reading a script file for the compile commands.
#pragma once
#include <cstdio>
#include <string>

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
