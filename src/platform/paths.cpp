#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {
std::string g_root;
std::string g_exe;
bool g_exe_known = false;

std::string with_slash(std::string p)
{
    if (!p.empty() && p.back() != '/') p += '/';
    return p;
}
}  // namespace

bool kiln_make_folder(const std::string& path)
{
    if (path.empty()) return true;
    mkdir(path.c_str(), 0755);
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool kiln_folder_lists(const std::string& path)
{
    DIR* d = opendir(path.empty() ? "." : path.c_str());
    if (!d) return false;
    closedir(d);
    return true;
}

bool kiln_file_exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string kiln_setup_root_folder(const std::string& home_option, const char* title)
{
    std::string root;
    if (!home_option.empty()) {
        root = with_slash(home_option);
        kiln_make_folder(root);
    } else {
        const char* home = getenv("HOME");
        if (home && *home) {
            std::string base = with_slash(home) + ".hearthware";
            kiln_make_folder(base);
            root = base + "/" + title + "/";
            kiln_make_folder(root);
        }
    }
    g_root = root;
    return root;
}

void kiln_set_root_folder(const std::string& root) { g_root = with_slash(root); }
const std::string& kiln_root_folder() { return g_root; }
std::string kiln_prefix_with_appdata_path(const std::string& name) { return g_root + name; }

const std::string& kiln_exe_folder()
{
    if (!g_exe_known) {
        char buf[512];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n > 0) {
            buf[n] = 0;
            std::string p(buf);
            size_t slash = p.rfind('/');
            g_exe = slash == std::string::npos ? "" : p.substr(0, slash + 1);
        }
        g_exe_known = true;
    }
    return g_exe;
}

void kiln_set_exe_folder(const std::string& folder)
{
    g_exe = with_slash(folder);
    g_exe_known = true;
}

std::string kiln_prefix_with_exe_path(const std::string& name) { return kiln_exe_folder() + name; }
