#include "platform/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
// Read once before main: reading the umask means setting it, which would race
// with another thread creating a file.
const mode_t k_umask = [] {
    mode_t m = umask(0);
    umask(m);
    return m;
}();
}  // namespace

bool kiln_write_file_atomic(const std::string& path, const void* data, size_t len)
{
    std::string tmpl = path + ".tmp~XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back(0);
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    const char* p = static_cast<const char*>(data);
    bool ok = true;
    for (size_t left = len; ok && left > 0;) {
        ssize_t n = write(fd, p, left);
        ok = n > 0;
        if (ok) {
            p += n;
            left -= size_t(n);
        }
    }
    ok = fchmod(fd, 0666 & ~k_umask) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (ok && rename(name.data(), path.c_str()) != 0) ok = false;
    if (!ok) unlink(name.data());
    return ok;
}
