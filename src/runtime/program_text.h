// The fixed script text a program is wrapped in. The header (two lines, so
// program line n is line n + 2 of the compiled text) defines menuitem and
// the table helpers and names the seven button glyphs 0..6; the footer calls
// _init and runs the standard frame loop. Both are part of every compiled
// program, byte for byte.
#pragma once
#include <cstddef>

extern const char orbo_program_header[];
extern const char orbo_program_footer[];
size_t orbo_program_header_size();
size_t orbo_program_footer_size();

// Console commands a program made of one command line runs as a call, in
// the order they are tried (a later match overwrites an earlier one).
constexpr int ORBO_SHORT_COMMANDS = 21;
extern const char* const short_command[ORBO_SHORT_COMMANDS];
