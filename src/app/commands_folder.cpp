// The folder functions: cd, mkdir and folder, and the name resolution that
// keeps every script-given name inside the cartridge root.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/commands.h"
#include "app/state.h"
#include "runtime/pstate.h"
#include "hardware/api/api.h"
#include "platform/log.h"
#include "platform/paths.h"

namespace {
// The script string at index i, or nothing when it is not a string or
// number; *len gets its length.
const char* arg_text(lua_State* L, int i, size_t* len)
{
    int t = lua_type(L, i);
    if (t != LUA_TSTRING && t != LUA_TNUMBER) return nullptr;
    return lua_tolstring(L, i, len);
}

// Resolves the components of a relative path by name. False when ".."
// would climb above the start or a component holds a zero byte.
bool resolve_components(const std::string& path, std::vector<std::string>* parts)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.find('\0') != std::string::npos) return false;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (parts->empty()) return false;
            parts->pop_back();
            continue;
        }
        parts->push_back(part);
    }
    return true;
}

std::string joined(const std::string& current, const std::string& name)
{
    return !name.empty() && name[0] == '/' ? name.substr(1) : current + name;
}
}  // namespace

std::optional<std::string> orbo_resolve_folder(const std::string& current, const std::string& name)
{
    std::vector<std::string> parts;
    if (!resolve_components(joined(current, name), &parts)) return std::nullopt;
    std::string out;
    for (const std::string& p : parts) out += p + "/";
    return out;
}

std::optional<std::string> orbo_resolve_file(const std::string& current, const std::string& name)
{
    // The last component must name a file: not empty, "." or "..".
    std::string last = name.substr(name.find_last_of('/') + 1);
    if (last.empty() || last == "." || last == "..") return std::nullopt;
    std::optional<std::string> folder = orbo_resolve_folder(current, name);
    if (!folder || folder->empty()) return std::nullopt;
    folder->pop_back();
    return folder;
}

orbo_launch_fn_t orbo_launch_fn = orbo_launch_process;

// The child reports a failed exec through a close-on-exec pipe, so "could
// not start" (-1) is told apart from a program that exits with 127.
int orbo_launch_process(const std::vector<std::string>& argv)
{
    if (argv.empty()) return -1;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return -1;
    pid_t pid = fork();
    if (pid < 0) {
        close(report[0]);
        close(report[1]);
        return -1;
    }
    if (pid == 0) {
        close(report[0]);
        execvp(args[0], args.data());
        int err = errno;
        ssize_t ignored = write(report[1], &err, sizeof err);
        (void)ignored;
        _exit(127);
    }
    close(report[1]);
    int err = 0;
    ssize_t got;
    do got = read(report[0], &err, sizeof err);
    while (got < 0 && errno == EINTR);
    close(report[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    if (got > 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ob_cd(lua_State* L)
{
    if (lua_type(L, 1) != LUA_TSTRING) {
        orbo_command_printf(12, "directory: /%s", shell.current_dir.c_str());
        return 0;
    }
    size_t len = 0;
    const char* name = lua_tolstring(L, 1, &len);
    if (len > ORBO_COMMAND_NAME_MAX) return 0;
    std::optional<std::string> rel = orbo_resolve_folder(shell.current_dir, std::string(name, len));
    if (!rel || rel->size() > ORBO_CURRENT_DIR_MAX) {
        orbo_command_print("cd: failed", 7);
        return 0;
    }
    if (!kiln_folder_lists(pstate.cart_root + *rel)) {
        orbo_command_print("directory not found", 7);
        return 0;
    }
    shell.current_dir = *rel;
    orbo_command_printf(12, "/%s", rel->c_str());
    return 0;
}

int ob_mkdir(lua_State* L)
{
    size_t len = 0;
    const char* name = arg_text(L, 1, &len);
    if (!name) {
        orbo_command_print("mkdir [name]", 6);
        return 0;
    }
    if (len > ORBO_COMMAND_NAME_MAX) {
        lua_pushinteger(L, 0);
        return 1;
    }
    std::optional<std::string> rel = orbo_resolve_folder(shell.current_dir, std::string(name, len));
    if (!rel || rel->empty()) return 0;
    kiln_make_folder(pstate.cart_root + *rel);
    return 0;
}

// The path goes to the file browser as one argument of its own: no shell
// ever sees it, so quotes or $(...) in a folder name are only characters.
int ob_folder(lua_State*)
{
    std::string path = pstate.cart_root + shell.current_dir;
    std::string shown = "xdg-open \"" + path + "\"";
    kiln_debug("launch: [%s] ", shown.c_str());
    int result = orbo_launch_fn({"xdg-open", path});
    kiln_debug("result: %d\n", result);
    return 0;
}
