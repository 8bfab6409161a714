// Entry points for compiling program text without running it (used by the
// program runner through the loader, by orbotool and by the tests).
#pragma once
#include <string>

#include "lstate.h"

// Allocation function over the C heap (realloc/free).
void* orbo_default_alloc(void* ud, void* ptr, size_t osize, size_t nsize);

// Compiles text under the given chunk name ("=name", "@file" or the text
// itself). Returns LUA_OK and stores the main prototype, or an error status
// with the message on top of L's stack (see orbo_error_text).
int orbo_compile(lua_State* L, const char* text, size_t len, const char* chunkname, Proto** out);
// Text of the string on top of the stack ("" when there is none).
const char* orbo_error_text(lua_State* L);

// The listing of a prototype and its nested functions in the layout of the
// reference compiler's "-l -l" output, with functions identified by their
// pre-order index instead of an address.
// With raw_numbers, numbers print as N followed by their raw value in hex
// (exact, for comparisons).
std::string orbo_listing(const Proto* f, bool raw_numbers = false);

// Prepares file contents the way the standard file loader reads them: a
// UTF-8 byte order mark is dropped and a first line starting with '#' is
// blanked (its newline stays, so line numbers do not change).
void orbo_skip_file_prefix(std::string* text);
