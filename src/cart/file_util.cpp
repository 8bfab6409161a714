#include "cart/file_util.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool orbo_read_file(const std::string& path, std::vector<unsigned char>* out, size_t max)
{
    out->clear();
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char buf[65536];
    size_t n;
    bool ok = true;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
        size_t take = std::min(n, max - out->size());
        out->insert(out->end(), buf, buf + take);
        if (out->size() >= max) break;
    }
    if (ferror(f)) ok = false;
    fclose(f);
    return ok;
}

bool orbo_file_exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

orbo_path_parts orbo_split_path(const std::string& path)
{
    orbo_path_parts parts;
    size_t slash = path.find_last_of('/');
    std::string file = path;
    if (slash != std::string::npos) {
        parts.dir = path.substr(0, slash + 1);
        file = path.substr(slash + 1);
    }
    size_t dot = file.find('.');
    parts.base = file.substr(0, dot);
    if (dot != std::string::npos) parts.ext = file.substr(dot);
    return parts;
}
