// Helpers on values: the engine's message formatter, chunk names for
// messages, and the floating-byte encoding of table sizes in NEWTABLE.
#include <cstdio>
#include <cstring>

#include "engine/lua/internal.h"

const TValue luaO_nilobject_ = {{nullptr}, LUA_TNIL};

// Floating byte eeeeexxx: (1xxx) * 2^(eeeee - 1) when eeeee > 0, else xxx.
int luaO_int2fb(unsigned int x)
{
    int e = 0;
    if (x < 8) return int(x);
    while (x >= 0x10) {
        x = (x + 1) >> 1;
        e++;
    }
    return ((e + 1) << 3) | (int(x) - 8);
}

int luaO_fb2int(int x)
{
    int e = (x >> 3) & 0x1f;
    if (e == 0) return x;
    return ((x & 7) + 8) << (e - 1);
}

int luaO_ceillog2(unsigned int x)
{
    int l = 0;
    x--;
    while (x >= 256) {
        l += 8;
        x >>= 8;
    }
    while (x) {
        l++;
        x >>= 1;
    }
    return l;
}

static void pushstr(lua_State* L, const char* str, size_t l)
{
    setsvalue2s(L, L->top, luaS_newlstr(L, str, l));
    incr_top(L);
}

// Understands %% %s %c %p, and %d and %f, which both take a raw 16.16 value:
// callers that mean a whole number pass it shifted left by 16.
const char* luaO_pushvfstring(lua_State* L, const char* fmt, va_list argp)
{
    int n = 0;
    for (;;) {
        const char* e = strchr(fmt, '%');
        if (e == nullptr) break;
        pushstr(L, fmt, size_t(e - fmt));
        switch (e[1]) {
        case 's': {
            const char* s = va_arg(argp, char*);
            if (s == nullptr) s = "(null)";
            pushstr(L, s, strlen(s));
            break;
        }
        case 'c': {
            char buff = char(va_arg(argp, int));
            pushstr(L, &buff, 1);
            break;
        }
        case 'd':
        case 'f': {
            char buff[ORBO_NUMBER_TEXT + 1];
            fix32 v = e[1] == 'd' ? fix32(va_arg(argp, int)) : fix32(va_arg(argp, lua_Number));
            pushstr(L, buff, size_t(orbo_fixed_to_string(buff, v)));
            break;
        }
        case 'p': {
            char buff[4 * sizeof(void*) + 8];
            int l = snprintf(buff, sizeof(buff), "%p", va_arg(argp, void*));
            pushstr(L, buff, size_t(l));
            break;
        }
        case '%':
            pushstr(L, "%", 1);
            break;
        default:
            luaG_runerror(L, "invalid option '%%%c' to 'lua_pushfstring'", *(e + 1));
        }
        n += 2;
        fmt = e + 2;
    }
    luaD_checkstack(L, 1);
    pushstr(L, fmt, strlen(fmt));
    if (n > 0) luaV_concat(L, n + 1);
    return svalue(L->top - 1);
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

// Short source name for messages: "=name" as is, "@file" as the file name
// (its tail when too long), other text as [string "first line..."].
void luaO_chunkid(char* out, const char* source, size_t bufflen)
{
    size_t l = strlen(source);
    if (*source == '=') {
        if (l <= bufflen) memcpy(out, source + 1, l * sizeof(char));
        else {
            addstr(out, source + 1, bufflen - 1);
            *out = '\0';
        }
    } else if (*source == '@') {
        if (l <= bufflen) memcpy(out, source + 1, l * sizeof(char));
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
