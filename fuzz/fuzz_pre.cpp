// Fuzzes the preprocessor with its self-check on (every incremental mask
// update and cursor search is compared with a from-scratch result), and
// checks that line feeds are kept: exactly, unless a long string copied
// with a left-hand side adds some.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/pre/pre.h"
#include "engine/pre/pre_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    pre_set_self_check(true);
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(strlen(text.c_str()));
    std::string out;
    orbo_preprocess(text.c_str(), out);
    if (out.find('\0') != std::string::npos) abort();
    size_t in_lf = size_t(std::count(text.begin(), text.end(), '\n'));
    size_t out_lf = size_t(std::count(out.begin(), out.end(), '\n'));
    if (in_lf < size_t(PRE_MAX_LINES)) {
        if (text.find("[[") == std::string::npos ? out_lf != in_lf : out_lf < in_lf) abort();
    }
    std::string again;
    orbo_preprocess(text.c_str(), again);
    if (again != out) abort();
    return 0;
}
