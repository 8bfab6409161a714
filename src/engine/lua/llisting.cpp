// Prototype listing in the layout of the reference compiler's "-l -l":
// header, one line per instruction with its comment, then constants,
// locals and upvalues; nested functions follow in pre-order.
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <map>

#include "lcompile.h"
#include "lopcodes.h"

namespace {
struct lister {
    std::string out;
    std::map<const Proto*, int> index;
    bool raw_numbers = false;

    void printf(const char* fmt, ...)
    {
        char buf[256];
        va_list ap;
        va_start(ap, fmt);
        int n = vsnprintf(buf, sizeof buf, fmt, ap);
        va_end(ap);
        out.append(buf, size_t(n) < sizeof buf ? size_t(n) : sizeof buf - 1);
    }

    void number(lua_Number n)
    {
        if (raw_numbers) {
            printf("N%08x", unsigned(n));
            return;
        }
        char buf[ORBO_NUMBER_TEXT + 1];
        int len = orbo_fixed_to_string(buf, n);
        out.append(buf, size_t(len));
    }

    void string(const TString* ts)
    {
        const char* s = getstr(ts);
        out += '"';
        for (size_t i = 0; i < ts->len; i++) {
            int c = (unsigned char)s[i];
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\a': out += "\\a"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\v': out += "\\v"; break;
            default:
                if (c >= 0x20 && c < 0x7f)
                    out += char(c);
                else
                    printf("\\%03d", c);
            }
        }
        out += '"';
    }

    void constant(const Proto* f, int i)
    {
        const TValue* o = &f->k[i];
        switch (ttypenv(o)) {
        case LUA_TNIL: out += "nil"; break;
        case LUA_TBOOLEAN: out += bvalue(o) ? "true" : "false"; break;
        case LUA_TNUMBER: number(nvalue(o)); break;
        case LUA_TSTRING: string(rawtsvalue(o)); break;
        default: printf("? type=%d", rttype(o)); break;
        }
    }

    const char* upvalname(const Proto* f, int x)
    {
        return (x < f->sizeupvalues && f->upvalues[x].name) ? getstr(f->upvalues[x].name) : "-";
    }

    void number_pass(const Proto* f)
    {
        int n = int(index.size());
        index[f] = n;
        for (int i = 0; i < f->sizep; i++) number_pass(f->p[i]);
    }

    void header(const Proto* f)
    {
        const char* s = f->source ? getstr(f->source) : "=?";
        if (*s == '@' || *s == '=')
            s++;
        else if (*s == LUA_SIGNATURE[0])
            s = "(bstring)";
        else
            s = "(string)";
        auto ss = [](int x) { return x == 1 ? "" : "s"; };
        printf("\n%s <", f->linedefined == 0 ? "main" : "function");
        out += s;
        printf(":%d,%d> (%d instruction%s at %d)\n", f->linedefined, f->lastlinedefined, f->sizecode,
               ss(f->sizecode), index[f]);
        printf("%d%s param%s, %d slot%s, %d upvalue%s, ", int(f->numparams), f->is_vararg ? "+" : "",
               ss(f->numparams), int(f->maxstacksize), ss(f->maxstacksize), f->sizeupvalues, ss(f->sizeupvalues));
        printf("%d local%s, %d constant%s, %d function%s\n", f->sizelocvars, ss(f->sizelocvars), f->sizek,
               ss(f->sizek), f->sizep, ss(f->sizep));
    }

    void code(const Proto* f)
    {
        const Instruction* code = f->code;
        int n = f->sizecode;
        auto myk = [](int x) { return -1 - x; };
        for (int pc = 0; pc < n; pc++) {
            Instruction i = code[pc];
            OpCode o = GET_OPCODE(i);
            int a = GETARG_A(i);
            int b = GETARG_B(i);
            int c = GETARG_C(i);
            int ax = GETARG_Ax(i);
            int bx = GETARG_Bx(i);
            int sbx = GETARG_sBx(i);
            int line = (f->lineinfo && pc < f->sizelineinfo) ? f->lineinfo[pc] : 0;
            printf("\t%d\t", pc + 1);
            if (line > 0)
                printf("[%d]\t", line);
            else
                printf("[-]\t");
            printf("%-9s\t", luaP_opnames[o]);
            switch (getOpMode(o)) {
            case iABC:
                printf("%d", a);
                if (getBMode(o) != OpArgN) printf(" %d", ISK(b) ? myk(INDEXK(b)) : b);
                if (getCMode(o) != OpArgN) printf(" %d", ISK(c) ? myk(INDEXK(c)) : c);
                break;
            case iABx:
                printf("%d", a);
                if (getBMode(o) == OpArgK) printf(" %d", myk(bx));
                if (getBMode(o) == OpArgU) printf(" %d", bx);
                break;
            case iAsBx: printf("%d %d", a, sbx); break;
            case iAx: printf("%d", myk(ax)); break;
            }
            switch (o) {
            case OP_LOADK:
                out += "\t; ";
                constant(f, bx);
                break;
            case OP_GETUPVAL:
            case OP_SETUPVAL: printf("\t; %s", upvalname(f, b)); break;
            case OP_GETTABUP:
                printf("\t; %s", upvalname(f, b));
                if (ISK(c)) {
                    out += ' ';
                    constant(f, INDEXK(c));
                }
                break;
            case OP_SETTABUP:
                printf("\t; %s", upvalname(f, a));
                if (ISK(b)) {
                    out += ' ';
                    constant(f, INDEXK(b));
                }
                if (ISK(c)) {
                    out += ' ';
                    constant(f, INDEXK(c));
                }
                break;
            case OP_GETTABLE:
            case OP_SELF:
                if (ISK(c)) {
                    out += "\t; ";
                    constant(f, INDEXK(c));
                }
                break;
            // MOD has no comment in the reference listing.
            case OP_SETTABLE:
            case OP_ADD:
            case OP_SUB:
            case OP_MUL:
            case OP_DIV:
            case OP_POW:
            case OP_EQ:
            case OP_LT:
            case OP_LE:
                if (ISK(b) || ISK(c)) {
                    out += "\t; ";
                    if (ISK(b))
                        constant(f, INDEXK(b));
                    else
                        out += '-';
                    out += ' ';
                    if (ISK(c))
                        constant(f, INDEXK(c));
                    else
                        out += '-';
                }
                break;
            case OP_JMP:
            case OP_FORLOOP:
            case OP_FORPREP:
            case OP_TFORLOOP: printf("\t; to %d", sbx + pc + 2); break;
            case OP_CLOSURE: printf("\t; %d", bx < f->sizep ? index[f->p[bx]] : -1); break;
            case OP_SETLIST:
                if (c == 0 && pc + 1 < n)
                    printf("\t; %d", int(code[++pc]));
                else
                    printf("\t; %d", c);
                break;
            case OP_EXTRAARG:
                out += "\t; ";
                if (ax < f->sizek) constant(f, ax);
                break;
            default: break;
            }
            out += '\n';
        }
    }

    void debug(const Proto* f)
    {
        int n = f->sizek;
        printf("constants (%d) for %d:\n", n, index[f]);
        for (int i = 0; i < n; i++) {
            printf("\t%d\t", i + 1);
            constant(f, i);
            out += '\n';
        }
        n = f->sizelocvars;
        printf("locals (%d) for %d:\n", n, index[f]);
        for (int i = 0; i < n; i++) {
            printf("\t%d\t", i);
            out += getstr(f->locvars[i].varname);
            printf("\t%d\t%d\n", f->locvars[i].startpc + 1, f->locvars[i].endpc + 1);
        }
        n = f->sizeupvalues;
        printf("upvalues (%d) for %d:\n", n, index[f]);
        for (int i = 0; i < n; i++) {
            printf("\t%d\t", i);
            out += upvalname(f, i);
            printf("\t%d\t%d\n", int(f->upvalues[i].instack), int(f->upvalues[i].idx));
        }
    }

    void function(const Proto* f)
    {
        header(f);
        code(f);
        debug(f);
        for (int i = 0; i < f->sizep; i++) function(f->p[i]);
    }
};
}  // namespace

std::string orbo_listing(const Proto* f, bool raw_numbers)
{
    lister l;
    l.raw_numbers = raw_numbers;
    l.number_pass(f);
    l.function(f);
    return std::move(l.out);
}
