#include "platform/log.h"

#include <cstdarg>
#include <cstring>

namespace {
FILE* g_log_file = nullptr;
bool g_log_stdout = true;
int g_indent = 0;

void emit(FILE* f, const char* text)
{
    if (!f) return;
    for (int i = 0; i < g_indent; i++) fputs("  ", f);
    fputs(text, f);
    fflush(f);
}
}  // namespace

bool kiln_log_open(const char* path)
{
    kiln_log_close();
    g_log_file = fopen(path, "w");
    g_indent = 0;
    return g_log_file != nullptr;
}

void kiln_log_close()
{
    if (g_log_file) fclose(g_log_file);
    g_log_file = nullptr;
}

void kiln_log_set_stdout(bool on) { g_log_stdout = on; }

void kiln_debug(const char* fmt, ...)
{
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    const char* text = buf;
    if (n < 0 || n > 512) text = "[debug string too long!]\n";

    bool open = text[0] == '>';
    if (text[0] == '<') {
        if (g_indent > 0) g_indent--;
        text++;
    }
    emit(g_log_file, text);
    if (g_log_stdout) emit(stdout, text);
    if (open) g_indent++;
}
