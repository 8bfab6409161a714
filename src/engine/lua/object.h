// Tagged values and collectable objects of the script engine.
// Invariants: a TValue's tag says which union member is live; every
// collectable object starts with the GC header and sits on exactly one of
// the collector's lists (strings: the string table); strings are interned,
// so two strings are equal exactly when they are the same object.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/lua/lua.h"

// Internal tags beyond the public ones.
#define LUA_TPROTO LUA_NUMTAGS
#define LUA_TUPVAL (LUA_NUMTAGS + 1)
#define LUA_TDEADKEY (LUA_NUMTAGS + 2)

// Variant bits (4-5) of functions.
#define LUA_TLCL (LUA_TFUNCTION | (0 << 4))  // Lua closure
#define LUA_TLCF (LUA_TFUNCTION | (1 << 4))  // light C function
#define LUA_TCCL (LUA_TFUNCTION | (2 << 4))  // C closure
#define BIT_ISCOLLECTABLE (1 << 6)

using lu_byte = uint8_t;
using Instruction = uint32_t;

struct GCObject;
#define CommonHeader \
    GCObject* next;  \
    lu_byte tt;      \
    lu_byte marked

struct GCheader {
    CommonHeader;
};

union Value {
    GCObject* gc;
    void* p;
    int b;
    lua_CFunction f;
    lua_Number n;
};

struct TValue {
    Value value_;
    int tt_;
};
using StkId = TValue*;

// Tag queries.
#define rttype(o) ((o)->tt_)
#define novariant(x) ((x) & 0x0F)
#define ttype(o) (rttype(o) & 0x3F)
#define ttypenv(o) (novariant(rttype(o)))
#define ctb(t) ((t) | BIT_ISCOLLECTABLE)
#define checktag(o, t) (rttype(o) == (t))
#define ttisnumber(o) checktag((o), LUA_TNUMBER)
#define ttisnil(o) checktag((o), LUA_TNIL)
#define ttisboolean(o) checktag((o), LUA_TBOOLEAN)
#define ttislightuserdata(o) checktag((o), LUA_TLIGHTUSERDATA)
#define ttisstring(o) checktag((o), ctb(LUA_TSTRING))
#define ttistable(o) checktag((o), ctb(LUA_TTABLE))
#define ttisfunction(o) (ttypenv(o) == LUA_TFUNCTION)
#define ttisclosure(o) ((rttype(o) & 0x1F) == LUA_TFUNCTION)
#define ttisCclosure(o) checktag((o), ctb(LUA_TCCL))
#define ttisLclosure(o) checktag((o), ctb(LUA_TLCL))
#define ttislcf(o) checktag((o), LUA_TLCF)
#define ttisuserdata(o) checktag((o), ctb(LUA_TUSERDATA))
#define ttisthread(o) checktag((o), ctb(LUA_TTHREAD))
#define ttisdeadkey(o) checktag((o), LUA_TDEADKEY)
#define iscollectable(o) (rttype(o) & BIT_ISCOLLECTABLE)
#define ttisequal(o1, o2) (rttype(o1) == rttype(o2))

// Payload access.
#define gcvalue(o) ((o)->value_.gc)
#define pvalue(o) ((o)->value_.p)
#define nvalue(o) ((o)->value_.n)
#define bvalue(o) ((o)->value_.b)
#define fvalue(o) ((o)->value_.f)
#define rawtsvalue(o) (&gco2ts(gcvalue(o)))
#define tsvalue(o) rawtsvalue(o)
#define rawuvalue(o) (&gco2u(gcvalue(o)))
#define uvalue(o) rawuvalue(o)
#define clvalue(o) (&gco2cl(gcvalue(o)))
#define clLvalue(o) (&gco2lcl(gcvalue(o)))
#define clCvalue(o) (&gco2ccl(gcvalue(o)))
#define hvalue(o) (&gco2t(gcvalue(o)))
#define thvalue(o) (&gco2th(gcvalue(o)))
#define deadvalue(o) ((void*)((o)->value_.gc))
#define l_isfalse(o) (ttisnil(o) || (ttisboolean(o) && bvalue(o) == 0))

// Setters.
#define settt_(o, t) ((o)->tt_ = (t))
#define setnvalue(obj, x) { TValue* io_ = (obj); io_->value_.n = (x); settt_(io_, LUA_TNUMBER); }
#define setnilvalue(obj) settt_(obj, LUA_TNIL)
#define setfvalue(obj, x) { TValue* io_ = (obj); io_->value_.f = (x); settt_(io_, LUA_TLCF); }
#define setpvalue(obj, x) { TValue* io_ = (obj); io_->value_.p = (x); settt_(io_, LUA_TLIGHTUSERDATA); }
#define setbvalue(obj, x) { TValue* io_ = (obj); io_->value_.b = (x); settt_(io_, LUA_TBOOLEAN); }
#define setgcovalue(L, obj, x) { TValue* io_ = (obj); GCObject* i_g = (x); io_->value_.gc = i_g; settt_(io_, ctb(gch(i_g)->tt)); }
#define setsvalue(L, obj, x) { TValue* io_ = (obj); io_->value_.gc = (GCObject*)(x); settt_(io_, ctb(LUA_TSTRING)); }
#define setuvalue(L, obj, x) { TValue* io_ = (obj); io_->value_.gc = (GCObject*)(x); settt_(io_, ctb(LUA_TUSERDATA)); }
#define setthvalue(L, obj, x) { TValue* io_ = (obj); io_->value_.gc = (GCObject*)(x); settt_(io_, ctb(LUA_TTHREAD)); }
#define setclLvalue(L, obj, x) { TValue* io_ = (obj); io_->value_.gc = (GCObject*)(x); settt_(io_, ctb(LUA_TLCL)); }
#define setclCvalue(L, obj, x) { TValue* io_ = (obj); io_->value_.gc = (GCObject*)(x); settt_(io_, ctb(LUA_TCCL)); }
#define sethvalue(L, obj, x) { TValue* io_ = (obj); io_->value_.gc = (GCObject*)(x); settt_(io_, ctb(LUA_TTABLE)); }
#define setdeadvalue(obj) settt_(obj, LUA_TDEADKEY)
#define setobj(L, obj1, obj2) { const TValue* io2_ = (obj2); TValue* io1_ = (obj1); io1_->value_ = io2_->value_; io1_->tt_ = io2_->tt_; }
#define setobjs2s setobj
#define setobj2s setobj
#define setsvalue2s setsvalue
#define sethvalue2s sethvalue
#define setobjt2t setobj
#define setobj2t setobj
#define setobj2n setobj
#define setsvalue2n setsvalue

// Strings: header followed by len bytes and a NUL.
struct TString {
    CommonHeader;
    lu_byte extra;  // reserved word index + 1 for the lexer; 0 otherwise
    unsigned int hash;
    size_t len;
};
#define getstr(ts) (reinterpret_cast<char*>(ts) + sizeof(TString))
#define svalue(o) getstr(rawtsvalue(o))
#define eqstr(a, b) ((a) == (b))

// Userdata: header followed by the block.
struct Table;
struct Udata {
    CommonHeader;
    Table* metatable;
    Table* env;
    size_t len;
};
#define getudatamem(u) (reinterpret_cast<char*>(u) + sizeof(Udata))

// Function prototypes.
struct Upvaldesc {
    TString* name;
    lu_byte instack;  // in the enclosing function's stack (register) or its upvalues
    lu_byte idx;
};
struct LocVar {
    TString* varname;
    int startpc;  // first point where the variable is active
    int endpc;    // first point where it is dead
};
union Closure;
struct Proto {
    CommonHeader;
    TValue* k;
    Instruction* code;
    Proto** p;
    int* lineinfo;
    LocVar* locvars;
    Upvaldesc* upvalues;
    Closure* cache;  // last closure created from this prototype
    TString* source;
    int sizeupvalues;
    int sizek;
    int sizecode;
    int sizelineinfo;
    int sizep;
    int sizelocvars;
    int linedefined;
    int lastlinedefined;
    GCObject* gclist;
    lu_byte numparams;
    lu_byte is_vararg;
    lu_byte maxstacksize;
};

// Upvalues: open ones point into a stack and are linked on the thread's
// open list (sorted by level, highest first); closed ones hold their value.
struct UpVal {
    CommonHeader;
    TValue* v;
    union {
        TValue value;
        struct {
            UpVal* prev;
            UpVal* next;
        } l;
    } u;
};

#define ClosureHeader \
    CommonHeader;     \
    lu_byte nupvalues; \
    GCObject* gclist
struct CClosure {
    ClosureHeader;
    lua_CFunction f;
    TValue upvalue[1];
};
struct LClosure {
    ClosureHeader;
    Proto* p;
    UpVal* upvals[1];
};
union Closure {
    CClosure c;
    LClosure l;
};
#define isLfunction(o) ttisLclosure(o)
#define getproto(o) (clLvalue(o)->p)
#define sizeCclosure(n) (offsetof(CClosure, upvalue) + sizeof(TValue) * size_t(n))
#define sizeLclosure(n) (offsetof(LClosure, upvals) + sizeof(UpVal*) * size_t(n))

// Tables: array part for keys 1..sizearray, hash part of 2^lsizenode nodes
// chained through 'next' offsets (Brent's variation of scatter tables).
struct TKey {
    TValue tvk;
    struct Node* next;
};
struct Node {
    TValue i_val;
    TKey i_key;
};
struct Table {
    CommonHeader;
    lu_byte flags;  // bit p set: metamethod p known absent
    lu_byte lsizenode;
    Table* metatable;
    TValue* array;
    Node* node;
    Node* lastfree;  // every free position lies before this
    GCObject* gclist;
    int sizearray;
};

#define lmod(s, size) (int((s) & ((size)-1)))
#define twoto(x) (1 << (x))
#define sizenode(t) (twoto((t)->lsizenode))

extern const TValue luaO_nilobject_;
#define luaO_nilobject (&luaO_nilobject_)

#define LUAI_MAXSHORTLEN 40

int luaO_int2fb(unsigned int x);
int luaO_fb2int(int x);
int luaO_ceillog2(unsigned int x);
int luaO_str2d(const char* s, size_t len, lua_Number* result);
const char* luaO_pushvfstring(lua_State* L, const char* fmt, va_list argp);
const char* luaO_pushfstring(lua_State* L, const char* fmt, ...);
void luaO_chunkid(char* out, const char* source, size_t len);
