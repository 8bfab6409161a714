// The source preprocessor: rewrites the cartridge dialect's shorthands
// (`?` print lines, `!=`, compound assignments, one-line `if (c) stmt`) into
// plain Lua and drops every comment, line by line. The output has exactly
// as many line feeds as the input, so compiler line numbers match the
// source.
#pragma once
#include <string>

// Rewrites the zero-terminated `text` into `output` (emptied first). At
// most 65536 lines are processed; text beyond them is dropped.
void orbo_preprocess(const char* text, std::string& output);
