// orbotool compile FILE...: compiles each file without listing it (the
// counterpart of "luac -p"); prints the first error and exits with 1.
#include <cstdio>
#include <string>

#include "commands.h"
#include "engine/lua/lcompile.h"
#include "source_file.h"

int cmd_compile(int argc, char** argv)
{
    if (argc < 1) {
        orbotool_usage("compile", stderr);
        return 2;
    }
    lua_State* L = lua_newstate(orbo_default_alloc, nullptr);
    if (!L) {
        fputs("not enough memory\n", stderr);
        return 1;
    }
    L->nCcalls = 1;  // as the reference compiler, which parses inside a call
    int rc = 0;
    for (int i = 0; i < argc && rc == 0; i++) {
        std::string text;
        if (!orbotool_read_file(argv[i], &text)) {
            fprintf(stderr, "cannot open %s\n", argv[i]);
            rc = 1;
            break;
        }
        orbo_skip_file_prefix(&text);
        Proto* f = nullptr;
        std::string name = std::string("@") + argv[i];
        if (orbo_compile(L, text.data(), text.size(), name.c_str(), &f) != LUA_OK) {
            fprintf(stderr, "%s\n", orbo_error_text(L));
            rc = 1;
        }
    }
    lua_close(L);
    return rc;
}
