// The framework log: every line goes to "log.txt" (once opened) and to
// standard output, both flushed at once. A text beginning with ">" is written
// at the current indentation and then opens a level; one beginning with "<"
// closes a level first (not below 0) and is written without the "<". A level
// indents by two spaces. A formatted text longer than 512 bytes is replaced
// by "[debug string too long!]\n".
#pragma once
#include <cstdio>

// Opens (truncating) the log file; returns false when it cannot be written.
bool kiln_log_open(const char* path);
void kiln_log_close();
// Silences standard output (used by tests and tools that print their own).
void kiln_log_set_stdout(bool on);

void kiln_debug(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
