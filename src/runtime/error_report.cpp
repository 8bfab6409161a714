#include "runtime/error_report.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hardware/console.h"
#include "runtime/pstate.h"
#include "cart/working_cart.h"
#include "engine/lua/lauxlib.h"
#include "engine/lua/lstate.h"
#include "engine/lua/lua.h"
#include "hardware/machine.h"
#include "hardware/runtime_link.h"
#include "runtime/runner.h"
#include "runtime/runtime.h"

namespace {
constexpr int COL_NOTICE = 6, COL_TEXT = 7, COL_TRACE = 13, COL_HEADING = 14;
constexpr int TRACEBACK_LINES = 10;

int last_line_index(const std::string& t)
{
    int n = 0;
    for (char ch : t) n += ch == '\n';
    return n;
}

// The line number after the first ':' that is followed by a digit; 0 if none.
int traceback_line_number(const std::string& line)
{
    for (size_t i = line.find(':'); i != std::string::npos; i = line.find(':', i + 1)) {
        int n = 0;
        if (sscanf(line.c_str() + i + 1, "%d", &n) == 1 && line[i + 1] >= '0' && line[i + 1] <= '9') return n;
    }
    return 0;
}

// "%d (tab %d)" with both numbers kept in int range.
bool read_line_and_tab(const char* p, int* line, int* tab)
{
    char* end = nullptr;
    long l = strtol(p, &end, 10);
    if (end == p || strncmp(end, " (tab ", 6) != 0) return false;
    const char* q = end + 6;
    long t = strtol(q, &end, 10);
    if (end == q || *end != ')') return false;
    *line = int(std::clamp(l, -2147483647L, 2147483647L));
    *tab = int(std::clamp(t, -2147483647L, 2147483647L));
    return true;
}

// assert raises its own message when it has one, so "assertion failed" is
// in the text only without one; with one, the text after the position
// prefix is the stored message.
bool is_assertion(const std::string& text, const std::string& stored)
{
    if (text.find("assertion failed") != std::string::npos) return true;
    if (stored.empty()) return false;
    size_t at = text.find("]:");
    size_t colon = at == std::string::npos ? std::string::npos : text.find(": ", at + 2);
    return colon != std::string::npos && text.compare(colon + 2, stored.size(), stored) == 0;
}

// Runs on the main state in protected mode: the engine's traceback of the
// program's coroutine, as one string.
int traceback_of(lua_State* L)
{
    auto* co = static_cast<lua_State*>(lua_touserdata(L, 1));
    luaL_traceback(L, co, nullptr, 0);
    return 1;
}
}  // namespace

int find_tab_line(int line, int* tab)
{
    const orbo_code_tabs& tabs = orbo_working().tabs;
    int l = line - 2;
    for (int i = 0; i < ORBO_CODE_TABS; i++) {
        int n = last_line_index(tabs.tab[i]) + 2;
        if (l <= n) {
            *tab = i;
            return l;
        }
        l -= n;
    }
    *tab = 0;
    return 0;
}

std::string get_nth_line(const std::string& text, int n)
{
    if (n < 1 || text.empty()) return "<eof>";
    size_t start = 0;
    for (int i = 1; i < n; i++) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) return "<eof>";
        start = nl + 1;
    }
    if (start >= text.size() && n > 1) return "<eof>";
    size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool extract_syntax_error(const char* message, bool with_position, std::string* out)
{
    out->clear();
    std::string m = message ? message : "";
    if (m.find("_end_of_program") != std::string::npos) return false;
    size_t close = m.find("to close '");
    if (close == std::string::npos) {
        size_t colon = m.rfind(':');
        if (colon == std::string::npos) *out = m;
        else if (colon + 2 <= m.size()) *out = m.substr(colon + 2, 1023);
        return true;
    }
    int line = 0, tab = 0;
    size_t at = m.find("at line ");
    if (at != std::string::npos && !read_line_and_tab(m.c_str() + at + 8, &line, &tab)) line = tab = 0;
    size_t name_start = close + 10;
    size_t name_end = name_start < m.size() ? m.find('\'', name_start + 1) : std::string::npos;
    std::string name = name_start < m.size() ? m.substr(name_start, name_end == std::string::npos
                                                                          ? std::string::npos
                                                                          : name_end - name_start)
                                             : "";
    char buf[1024];
    if (with_position) snprintf(buf, sizeof buf, "unclosed %s at line %d (tab %d)", name.c_str(), line, tab);
    else snprintf(buf, sizeof buf, "unclosed %s", name.c_str());
    orbo_print_col(buf, COL_NOTICE);
    orbo_working().tabs.current = tab >= 0 && tab < ORBO_CODE_TABS ? tab : 0;
    return false;
}

void orbo_report_compile_error(const char* message)
{
    orbo_rt().failed = true;
    orbo_machine* c = orbo_live_machine();
    if (c) c->pen = COL_NOTICE;
    int line = orbo_last_line_number;
    int tab = 0;
    int l = find_tab_line(line, &tab);
    bool located = l > 0 && line - 2 > 0;
    std::string source = get_nth_line(orbo_rt().code, line - 2);
    if (located) {
        orbo_working().tabs.current = tab;
        char buf[64];
        snprintf(buf, sizeof buf, "syntax error line %d (tab %d)", l, tab);
        orbo_print_col(buf, COL_HEADING);
        orbo_print_col(source.c_str(), COL_TEXT);
    } else {
        orbo_print_col("syntax error", COL_HEADING);
    }
    std::string shortmsg;
    if (!extract_syntax_error(message, !located, &shortmsg)) return;
    if (shortmsg == "unexpected symbol near 'end'" && source.find("end") == std::string::npos)
        shortmsg = "unexpected end of line";
    orbo_print_col(shortmsg.c_str(), COL_NOTICE);
}

void print_traceback(lua_State* co)
{
    lua_State* L = orbo_rt().L;
    if (!L || !co) return;
    int top = lua_gettop(L);
    lua_pushcfunction(L, traceback_of);
    lua_pushlightuserdata(L, co);
    if (lua_pcall(L, 1, 1, 0) != LUA_OK || !lua_isstring(L, -1)) {
        lua_settop(L, top);
        return;
    }
    std::string text = lua_tostring(L, -1);
    lua_settop(L, top);
    size_t pos = 0;
    for (int n = 0; n < TRACEBACK_LINES && pos <= text.size(); n++) {
        size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() + 1 : nl + 1;
        if (line.find("stack traceback") != std::string::npos || line.find("'_mainloop") != std::string::npos)
            continue;
        int number = traceback_line_number(line);
        if (number <= 0) continue;
        int tab = 0;
        int l = find_tab_line(number, &tab);
        char buf[512];
        size_t fn = line.find("in function '");
        if (fn != std::string::npos) {
            size_t s = fn + 13, e = line.find('\'', s);
            std::string name = line.substr(s, e == std::string::npos ? std::string::npos : e - s);
            snprintf(buf, sizeof buf, "in %s line %d (tab %d)", name.c_str(), l, tab);
            orbo_print_col(buf, COL_TRACE);
        } else if (line.find("in main chunk") != std::string::npos) {
            snprintf(buf, sizeof buf, "at line %d (tab %d)", l, tab);
            orbo_print_col(buf, COL_TRACE);
        }
    }
}

void orbo_report_runtime_error(lua_State* co)
{
    orbo_runtime& rt = orbo_rt();
    rt.failed = true;
    std::string message;
    if (co && lua_gettop(co) > 0) {
        const char* s = lua_tostring(co, -1);
        message = s ? s : "";
    }
    suspend_program();
    int line = orbo_runtime_line;
    if (line > 2) {
        int tab = 0;
        int l = find_tab_line(line, &tab);
        orbo_working().tabs.current = tab;
        char buf[64];
        snprintf(buf, sizeof buf, "runtime error line %d tab %d", l, tab);
        orbo_print_col(buf, COL_HEADING);
        orbo_print_col(get_nth_line(rt.code, line - 2).c_str(), COL_TEXT);
    }
    if (message.find("-- orbo header") == std::string::npos) {
        if (message != "not enough memory") orbo_print_col(message.c_str(), COL_NOTICE);
    } else if (is_assertion(message, rt.assert_message)) {
        orbo_print_col("assertion failed", COL_NOTICE);
        if (!rt.assert_message.empty()) orbo_print_col(rt.assert_message.c_str(), COL_TEXT);
    }
    orbo_machine* c = orbo_live_machine();
    if (c && c->heap.allocation_failed) {
        c->heap.allocation_failed = false;
        return;
    }
    print_traceback(co);
}

void orbo_runtime_error_entry(const char* message)
{
    if (orbo_reset_glitch > 0) return;
    pstate.pending_action = ACTION_STOP_RESET;
    orbo_rt().failed = true;
    orbo_rt().error_string = std::string(message ? message : "").substr(0, 511);
}

void orbo_assert_message(const char* text)
{
    orbo_rt().assert_message = std::string(text ? text : "").substr(0, 254);
}
