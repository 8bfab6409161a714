// orbotool listing FILE: compiles FILE and prints the listing of every
// function, or the compiler's message on stderr (exit status 1).
#include <cstdio>
#include <string>

#include "commands.h"
#include "source_file.h"
#include "engine/lua/lcompile.h"


int cmd_listing(int argc, char** argv)
{
    if (argc != 1) {
        orbotool_usage("listing", stderr);
        return 2;
    }
    std::string text;
    if (!orbotool_read_file(argv[0], &text)) {
        fprintf(stderr, "cannot open %s\n", argv[0]);
        return 1;
    }
    orbo_skip_file_prefix(&text);
    lua_State* L = lua_newstate(orbo_default_alloc, nullptr);
    if (!L) {
        fputs("not enough memory\n", stderr);
        return 1;
    }
    // The reference compiler parses from inside one protected call, which
    // counts as one nested level.
    L->nCcalls = 1;
    Proto* f = nullptr;
    std::string name = std::string("@") + argv[0];
    int status = orbo_compile(L, text.data(), text.size(), name.c_str(), &f);
    int rc = 0;
    if (status != LUA_OK) {
        fprintf(stderr, "%s\n", orbo_error_text(L));
        rc = 1;
    } else {
        std::string listing = orbo_listing(f);
        fwrite(listing.data(), 1, listing.size(), stdout);
    }
    lua_close(L);
    return rc;
}
