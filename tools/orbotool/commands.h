// orbotool's subcommands: one table that generates the dispatch and the
// usage texts. Each entry is X(name, function, argument synopsis, what it
// does); the function lives in cmd_<name>.cpp and takes the arguments after
// the name. `orbotool --help` lists them all, `orbotool NAME --help` one.
#pragma once
#include <cstdio>

#define ORBOTOOL_COMMANDS(X) \
    X(version, cmd_version, "", "print the version") \
    X(fixed, cmd_fixed, "tostr:TEXT | OP:A[:B] ...", "evaluate 16.16 number operations as the console does") \
    X(tokens, cmd_tokens, "FILE", "count a program's tokens and characters") \
    X(preprocess, cmd_preprocess, "FILE", "print a program after the shorthand rewrites") \
    X(listing, cmd_listing, "FILE", "list the compiled bytecode as luac -l -l does") \
    X(compile, cmd_compile, "FILE...", "compile programs and report errors") \
    X(convert, cmd_convert, "IN OUT", "convert a cartridge between .ob and .ob.png") \
    X(cartinfo, cmd_cartinfo, "FILE", "print a cartridge's sizes, token count and hash") \
    X(lua, cmd_lua, "[--count] [--budget N] [--hook N] [--luac] FILE", \
      "run a program on the script engine (--count: instructions executed)") \
    X(run, cmd_run, "CART [--frames N] [--screenshot OUT.png] [--gif OUT.gif] [--wav OUT.wav] [--param TEXT] [--input FILE] [--seed N]", \
      "run a cartridge headless through the player's loop")

#define ORBOTOOL_DECLARE(name, fn, synopsis, what) int fn(int argc, char** argv);
ORBOTOOL_COMMANDS(ORBOTOOL_DECLARE)
#undef ORBOTOOL_DECLARE

// Prints "usage: orbotool NAME SYNOPSIS" and what the command does; returns 2.
int orbotool_usage(const char* name, FILE* f);
// The operations of `fixed`, one line each (its --help adds them).
void cmd_fixed_help(FILE* f);
