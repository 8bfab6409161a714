// Error reports: where a program failed, in the user's terms (a line of a
// code tab, not of the compiled text with its two header lines), the
// offending source line, a short message and a traceback, printed on the
// console.
#pragma once
#include <string>

struct lua_State;

// Maps line `line` of the compiled text to a line within a code tab of the
// working cartridge. Past the last tab the answer is line 0 of tab 0.
int find_tab_line(int line, int* tab);
// Line n (from 1) of text, or "<eof>" when the text has fewer lines.
std::string get_nth_line(const std::string& text, int n);
// The short form of a compiler message; false when nothing is to be printed
// (an "_end_of_program" message, or an unclosed construct, whose own line is
// printed here).
bool extract_syntax_error(const char* message, bool with_position, std::string* out);

// The compile error report (text colour 6 afterwards).
void orbo_report_compile_error(const char* message);
// The runtime error report after a failed resumption of `co`; the error
// value is on co's stack top. Stops the program first.
void orbo_report_runtime_error(lua_State* co);
// Traceback lines of co mapped to code tabs, through the engine's own
// traceback (a program cannot replace it).
void print_traceback(lua_State* co);

// The error entry of console functions: the program stops at the next
// update and the message is printed after an empty line.
void orbo_runtime_error_entry(const char* message);
// assert's message, stored just before it raises (empty when absent).
void orbo_assert_message(const char* text);
