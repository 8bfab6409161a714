#include "lobject.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "ldo.h"
#include "lmem.h"
#include "lstring.h"

int luaO_int2fb(unsigned int x)
{
    int e = 0;
    if (x < 8) return cast_int(x);
    while (x >= 0x10) {
        x = (x + 1) >> 1;
        e++;
    }
    return ((e + 1) << 3) | (cast_int(x) - 8);
}

int luaO_fb2int(int x)
{
    int e = (x >> 3) & 0x1f;
    if (e == 0) return x;
    return ((x & 7) + 8) << (e - 1);
}

int luaO_hexavalue(int c)
{
    if (isdigit(c)) return c - '0';
    return (tolower(c) - 'a') + 10;
}

// Growable text built through the state's allocator.
struct fmt_buffer {
    lua_State* L;
    char* p = nullptr;
    size_t n = 0;
    size_t size = 0;
    void add(const char* s, size_t l)
    {
        if (l == 0) return;
        if (n + l > size) {
            size_t ns = size ? size : 64;
            while (ns < n + l) ns *= 2;
            p = cast(char*, luaM_realloc_(L, p, size, ns));
            size = ns;
        }
        memcpy(p + n, s, l);
        n += l;
    }
};

const char* luaO_pushvfstring(lua_State* L, const char* fmt, va_list argp)
{
    fmt_buffer b{L};
    TString* ts;
    try {
        for (;;) {
            const char* e = strchr(fmt, '%');
            if (e == nullptr) break;
            b.add(fmt, size_t(e - fmt));
            switch (e[1]) {
            case 's': {
                const char* s = va_arg(argp, char*);
                if (s == nullptr) s = "(null)";
                b.add(s, strlen(s));
                break;
            }
            case 'c': {
                char c = cast(char, va_arg(argp, int));
                b.add(&c, 1);
                break;
            }
            case 'd':
            case 'f': {
                // Numbers in messages are 16.16 raw values.
                char buf[ORBO_NUMBER_TEXT + 1];
                int n = orbo_fixed_to_string(buf, va_arg(argp, int));
                b.add(buf, size_t(n));
                break;
            }
            case 'p': {
                char buf[4 * sizeof(void*) + 8];
                int n = snprintf(buf, sizeof buf, "%p", va_arg(argp, void*));
                b.add(buf, size_t(n));
                break;
            }
            case '%': b.add("%", 1); break;
            default: {
                char msg[64];
                snprintf(msg, sizeof msg, "invalid option '%%%c' to 'lua_pushfstring'", e[1]);
                b.add(msg, strlen(msg));
                break;
            }
            }
            fmt = e + 2;
        }
        b.add(fmt, strlen(fmt));
        ts = luaS_newlstr(L, b.p ? b.p : "", b.n);
    } catch (...) {
        luaM_freemem(L, b.p, b.size);
        throw;
    }
    luaM_freemem(L, b.p, b.size);
    setsvalue(L->top, ts);
    incr_top(L);
    return getstr(ts);
}

const char* luaO_pushfstring(lua_State* L, const char* fmt, ...)
{
    va_list argp;
    va_start(argp, fmt);
    const char* msg = luaO_pushvfstring(L, fmt, argp);
    va_end(argp);
    return msg;
}

#define LL(x) (sizeof(x) / sizeof(char) - 1)
#define RETS "..."
#define PRE "[string \""
#define POS "\"]"
#define addstr(a, b, l) (memcpy(a, b, (l) * sizeof(char)), a += (l))

// Printable chunk name: "=name" verbatim, "@file" as the file name (cut
// from the left), anything else as [string "first line..."].
void luaO_chunkid(char* out, const char* source, size_t bufflen)
{
    size_t l = strlen(source);
    if (*source == '=') {
        if (l <= bufflen)
            memcpy(out, source + 1, l * sizeof(char));
        else {
            addstr(out, source + 1, bufflen - 1);
            *out = '\0';
        }
    } else if (*source == '@') {
        if (l <= bufflen)
            memcpy(out, source + 1, l * sizeof(char));
        else {
            addstr(out, RETS, LL(RETS));
            bufflen -= LL(RETS);
            memcpy(out, source + 1 + l - bufflen, bufflen * sizeof(char));
        }
    } else {
        const char* nl = strchr(source, '\n');
        addstr(out, PRE, LL(PRE));
        bufflen -= LL(PRE RETS POS) + 1;
        if (l < bufflen && nl == nullptr) {
            addstr(out, source, l);
        } else {
            if (nl != nullptr) l = size_t(nl - source);
            if (l > bufflen) l = bufflen;
            addstr(out, source, l);
            addstr(out, RETS, LL(RETS));
        }
        memcpy(out, POS, (LL(POS) + 1) * sizeof(char));
    }
}
