// Reading the program text that the source commands (tokens, preprocess)
// work on.
#pragma once
#include <string>

// The program text of FILE: for a cartridge (".ob") its code section, for
// any other file its bytes as they are. The text ends at its first zero
// byte, as programs do. False (with errno set) when the file can't be read.
bool read_program_text(const char* path, std::string* text);
