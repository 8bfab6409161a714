// orbotool's subcommands: one table that generates the dispatch and the
// usage text. Each entry is X(name, function, argument synopsis); the
// function lives in cmd_<name>.cpp and takes the arguments after the name.
#pragma once

#define ORBOTOOL_COMMANDS(X) \
    X(version, cmd_version, "") \
    X(fixed, cmd_fixed, "EXPR...") \
    X(tokens, cmd_tokens, "FILE") \
    X(preprocess, cmd_preprocess, "FILE") \
    X(listing, cmd_listing, "FILE") \
    X(compile, cmd_compile, "FILE...") \
    X(convert, cmd_convert, "IN OUT") \
    X(cartinfo, cmd_cartinfo, "FILE") \
    X(lua, cmd_lua, "[--count] [--budget N] [--hook N] [--luac] FILE") \
    X(run, cmd_run, "CART [--frames N] [--screenshot OUT.png] [--param TEXT]")

#define ORBOTOOL_DECLARE(name, fn, usage) int fn(int argc, char** argv);
ORBOTOOL_COMMANDS(ORBOTOOL_DECLARE)
#undef ORBOTOOL_DECLARE
