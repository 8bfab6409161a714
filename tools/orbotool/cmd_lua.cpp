// orbotool lua [--count] [--budget N] [--hook N] [--luac] FILE: runs FILE as a program
// with the console's library functions and a print that writes its
// arguments separated by tabs. --count reports the instructions executed,
// --budget N resumes the program in slices of N instructions (like the
// frame scheduler does) and reports the number of slices, --luac runs the
// bytecode of the stock compiler instead of our own compiler's, --hook N
// installs a count hook every N instructions that does nothing (for timing
// the engine as the console runs it).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "commands.h"
#include "engine/lua/baselib.h"
#include "engine/lua/lauxlib.h"
#include "engine/lua/lua.h"
#include "source_file.h"

namespace {
long long g_instructions = 0;
int g_budget = 0;      // instructions per slice; 0: no slicing
int g_slice_used = 0;  // instructions counted in the current slice
bool g_counting = false;
int g_idle_hook = 0;   // count of a hook that does nothing; 0: none

void idle_hook(lua_State*, lua_Debug*) {}

int print_value(lua_State* L, int i, std::string& out)
{
    switch (lua_type(L, i)) {
    case LUA_TNUMBER: {
        char buf[ORBO_NUMBER_TEXT + 1];
        out.append(buf, size_t(orbo_fixed_to_string(buf, lua_tonumber(L, i))));
        break;
    }
    case LUA_TSTRING: {
        size_t len;
        const char* s = lua_tolstring(L, i, &len);
        out.append(s, len);
        break;
    }
    case LUA_TBOOLEAN: out += lua_toboolean(L, i) ? "true" : "false"; break;
    case LUA_TNIL: out += "nil"; break;
    default: out += std::string("[") + luaL_typename(L, i) + "]"; break;
    }
    return 0;
}

int l_print(lua_State* L)
{
    std::string out;
    int n = lua_gettop(L);
    for (int i = 1; i <= n; i++) {
        if (i > 1) out += '\t';
        print_value(L, i, out);
    }
    out += '\n';
    fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

const char g_noop_key = 0;  // registry key of an empty script function

void hook(lua_State* L, lua_Debug*)
{
    if (g_counting) {
        // The reference counts with a script hook, which costs one host call
        // level; so does this one, so "C stack overflow" comes at the same
        // depth (and, failing there, counts nothing). The function called is
        // a script one, like the reference's: a host function would need
        // more free stack than the hook itself and so reach "stack overflow"
        // one level earlier.
        lua_rawgetp(L, LUA_REGISTRYINDEX, &g_noop_key);
        lua_call(L, 0, 0);
        g_instructions++;
    }
    if (g_budget > 0) {
        g_slice_used += g_counting ? 1 : g_budget;
        if (g_slice_used >= g_budget) {
            g_slice_used = 0;
            lua_yield(L, 0);
        }
    }
}


// Compiles with the stock compiler into a temporary file and reads it back.
bool stock_compile(const char* path, std::string& bytecode)
{
    char tmp[] = "/tmp/orbotool-luac-XXXXXX";
    int fd = mkstemp(tmp);
    if (fd < 0) return false;
    close(fd);
    std::string cmd = std::string("luac5.2 -o '") + tmp + "' '" + path + "'";
    bool ok = system(cmd.c_str()) == 0 && orbotool_read_file(tmp, &bytecode);
    unlink(tmp);
    return ok;
}

// Runs the chunk one host call deep, as the stock interpreter does, so
// that the native call depth (and "C stack overflow") matches it.
int run_chunk(lua_State* L)
{
    lua_call(L, lua_gettop(L) - 1, 0);
    return 0;
}

int usage()
{
    orbotool_usage("lua", stderr);
    return 2;
}
}  // namespace

int cmd_lua(int argc, char** argv)
{
    const char* path = nullptr;
    bool use_luac = false;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "--count") == 0) g_counting = true;
        else if (strcmp(argv[i], "--luac") == 0) use_luac = true;
        else if (strcmp(argv[i], "--budget") == 0 && i + 1 < argc) g_budget = atoi(argv[++i]);
        else if (strcmp(argv[i], "--hook") == 0 && i + 1 < argc) g_idle_hook = atoi(argv[++i]);
        else if (argv[i][0] == '-' || path) return usage();
        else path = argv[i];
    }
    if (!path || g_budget < 0) return usage();
    std::string text;
    if (use_luac ? !stock_compile(path, text) : !orbotool_read_file(path, &text)) {
        fprintf(stderr, "orbotool lua: cannot read %s\n", path);
        return 1;
    }
    lua_State* L = luaL_newstate();
    if (!L) return 1;
    luaL_openlibs(L);
    orbo_open_baselib(L);
    lua_register(L, "print", l_print);
    std::string chunkname = std::string("@") + path;
    int status = use_luac ? orbo_load_binary(L, text.data(), text.size(), chunkname.c_str())
                          : luaL_loadbuffer(L, text.data(), text.size(), chunkname.c_str());
    int slices = 0;
    if (status == LUA_OK && g_counting) {
        status = luaL_loadstring(L, "");
        lua_rawsetp(L, LUA_REGISTRYINDEX, &g_noop_key);
    }
    if (status == LUA_OK) {
        if (g_counting) lua_sethook(L, hook, LUA_MASKCOUNT, 1);
        else if (g_budget > 0) lua_sethook(L, hook, LUA_MASKCOUNT, g_budget);
        else if (g_idle_hook > 0) lua_sethook(L, idle_hook, LUA_MASKCOUNT, g_idle_hook);
        if (g_budget > 0) {
            // The main program as a resumable thread, resumed slice after slice.
            do {
                slices++;
                status = lua_resume(L, nullptr, 0);
            } while (status == LUA_YIELD);
        } else {
            lua_pushcfunction(L, run_chunk);
            lua_insert(L, -2);
            status = lua_pcall(L, 1, 0, 0);
        }
    }
    fflush(stdout);
    if (status != LUA_OK) {
        const char* msg = lua_tostring(L, -1);
        fprintf(stderr, "error: %s\n", msg ? msg : "(error object is not a string)");
    }
    if (g_counting) fprintf(stderr, "instructions: %lld\n", g_instructions);
    if (g_budget > 0) fprintf(stderr, "slices: %d\n", slices);
    lua_close(L);
    return status == LUA_OK ? 0 : 1;
}
