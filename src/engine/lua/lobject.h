// The engine's value and object model: tagged values, the header shared by
// every collectable object, strings, tables, prototypes, closures, upvalues
// and userdata. Invariant: a value whose tag has BIT_ISCOLLECTABLE holds a
// GCObject pointer; every GCObject starts with the same header.
#pragma once
#include <cstdarg>

#include "lua.h"

// Extra tags for non-value collectable objects.
#define LUA_TPROTO LUA_NUMTAGS
#define LUA_TUPVAL (LUA_NUMTAGS + 1)
#define LUA_TDEADKEY (LUA_NUMTAGS + 2)
#define LUA_TOTALTAGS (LUA_TUPVAL + 2)

// Tag bits 0-3: basic type; bits 4-5: variant; bit 6: collectable.
#define LUA_TLCL (LUA_TFUNCTION | (0 << 4))  // Lua closure
#define LUA_TLCF (LUA_TFUNCTION | (1 << 4))  // light host function
#define LUA_TCCL (LUA_TFUNCTION | (2 << 4))  // host closure
#define LUA_TSHRSTR (LUA_TSTRING | (0 << 4))
#define LUA_TLNGSTR (LUA_TSTRING | (1 << 4))
#define BIT_ISCOLLECTABLE (1 << 6)
#define ctb(t) ((t) | BIT_ISCOLLECTABLE)

struct GCObject {
    GCObject* next;
    lu_byte tt;
    lu_byte marked;
};

union Value {
    GCObject* gc;
    void* p;
    int b;
    lua_CFunction f;
    lua_Number n;
};

// 'aux_' fills what would otherwise be padding; values never carry it
// (setobj leaves it): only a prototype's constants do, where a short
// string's hash is kept beside the string, so that a constant key finds
// its node without reading the string object.
struct TValue {
    Value value_;
    int tt_;
    unsigned int aux_;
};
typedef TValue* StkId;

inline int rttype(const TValue* o) { return o->tt_; }
inline int ttypenv(const TValue* o) { return o->tt_ & 0x0f; }
inline bool ttisnil(const TValue* o) { return o->tt_ == LUA_TNIL; }
inline bool ttisnumber(const TValue* o) { return o->tt_ == LUA_TNUMBER; }
inline bool ttisboolean(const TValue* o) { return o->tt_ == LUA_TBOOLEAN; }
inline bool ttisstring(const TValue* o) { return (o->tt_ & 0x0f) == LUA_TSTRING; }
inline bool iscollectable(const TValue* o) { return (o->tt_ & BIT_ISCOLLECTABLE) != 0; }
inline lua_Number nvalue(const TValue* o) { return o->value_.n; }
inline int bvalue(const TValue* o) { return o->value_.b; }
inline GCObject* gcvalue(const TValue* o) { return o->value_.gc; }

inline void setnilvalue(TValue* o) { o->tt_ = LUA_TNIL; }
inline void setnvalue(TValue* o, lua_Number n) { o->value_.p = reinterpret_cast<void*>(uintptr_t(uint32_t(n))); o->tt_ = LUA_TNUMBER; }
inline void setbvalue(TValue* o, int b) { o->value_.p = reinterpret_cast<void*>(uintptr_t(uint32_t(b))); o->tt_ = LUA_TBOOLEAN; }
inline void setpvalue(TValue* o, void* p) { o->value_.p = p; o->tt_ = LUA_TLIGHTUSERDATA; }
inline void setfvalue(TValue* o, lua_CFunction f) { o->value_.f = f; o->tt_ = LUA_TLCF; }
inline void setgcovalue(TValue* o, GCObject* g) { o->value_.gc = g; o->tt_ = ctb(g->tt); }
inline void setobj(TValue* o1, const TValue* o2) { o1->value_.p = o2->value_.p; o1->tt_ = o2->tt_; }

// Strings: the text follows the header and is always NUL-terminated.
// Short strings are interned (equal texts are the same object); 'extra'
// marks reserved words for short strings and "hash computed" for long ones.
// 'slot' (short strings) is the node index where the string was last found
// as a table key: a lookup hint only, checked by identity before use, that
// lives in what would otherwise be padding (the object keeps its size).
struct TString : GCObject {
    lu_byte extra;
    unsigned short slot;
    unsigned int hash;
    size_t len;
};
static_assert(sizeof(TString) == 32 || sizeof(void*) != 8, "the slot hint must not grow strings");
inline char* getstr(TString* ts) { return reinterpret_cast<char*>(ts + 1); }
inline const char* getstr(const TString* ts) { return reinterpret_cast<const char*>(ts + 1); }
inline TString* rawtsvalue(const TValue* o) { return static_cast<TString*>(o->value_.gc); }
inline const char* svalue(const TValue* o) { return getstr(rawtsvalue(o)); }
inline void setsvalue(TValue* o, TString* s) { setgcovalue(o, s); }
// A constant of a prototype: short strings keep their hash beside them.
inline void setkvalue(TValue* k, const TValue* v)
{
    setobj(k, v);
    k->aux_ = rttype(v) == ctb(LUA_TSHRSTR) ? rawtsvalue(v)->hash : 0;
}

struct Table;

// Full userdata: the block follows the header.
struct Udata : GCObject {
    Table* metatable;
    Table* env;
    size_t len;
};

// Description of an upvalue of a function prototype.
struct Upvaldesc {
    TString* name;   // for debug information
    lu_byte instack; // whether it is in the enclosing function's registers
    lu_byte idx;     // register or enclosing upvalue index
};

// Description of a local variable: its name and the pcs where it is active.
struct LocVar {
    TString* varname;
    int startpc;
    int endpc;
};

struct LClosure;

// A function prototype: everything the compiler produces for one function.
struct Proto : GCObject {
    TValue* k;            // constants
    Instruction* code;
    Proto** p;            // nested functions
    int* lineinfo;        // source line of every instruction
    LocVar* locvars;
    Upvaldesc* upvalues;
    LClosure* cache;      // last closure made from this prototype
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
    lu_byte maxstacksize;  // registers needed
};

// An upvalue: open (pointing into a stack) or closed (holding its value).
struct UpVal : GCObject {
    TValue* v;
    union {
        TValue value;
        struct {
            UpVal* prev;
            UpVal* next;
        } l;
    } u;
};

struct CClosure : GCObject {
    lu_byte nupvalues;
    GCObject* gclist;
    lua_CFunction f;
    TValue upvalue[1];
};

struct LClosure : GCObject {
    lu_byte nupvalues;
    GCObject* gclist;
    Proto* p;
    UpVal* upvals[1];
};

inline size_t sizeCclosure(int n) { return sizeof(CClosure) + sizeof(TValue) * size_t(n > 0 ? n - 1 : 0); }
inline size_t sizeLclosure(int n) { return sizeof(LClosure) + sizeof(UpVal*) * size_t(n > 0 ? n - 1 : 0); }

// Tables (implemented with the virtual machine): array part plus a hash
// part of 2^lsizenode nodes.
union TKey {
    struct {
        Value value_;
        int tt_;
        struct Node* next;
    } nk;
    TValue tvk;
};
struct Node {
    TValue i_val;
    TKey i_key;
};
// 'in_chain' marks a table that a lookup through an __index chain passed
// (a metatable or an __index table): changes to it invalidate the virtual
// machine's memos of such lookups. It sits in what would otherwise be
// padding (the table keeps its size).
struct Table : GCObject {
    lu_byte flags;
    lu_byte lsizenode;
    lu_byte in_chain;
    unsigned int nodemask;  // 2^lsizenode - 1, also in padding
    Table* metatable;
    TValue* array;
    Node* node;
    Node* lastfree;
    GCObject* gclist;
    int sizearray;
};

static_assert(sizeof(Table) == 72 || sizeof(void*) != 8, "the chain mark must not grow tables");

#define lmod(s, size) (cast(int, (s) & ((size)-1)))
#define twoto(x) (1 << (x))

int luaO_int2fb(unsigned int x);
int luaO_fb2int(int x);
int luaO_hexavalue(int c);
void luaO_chunkid(char* out, const char* source, size_t bufflen);
// Formats like printf with %s %c %d %p %% and pushes the result on L's
// stack. %d takes a raw 16.16 value (callers pass integers times 65536).
const char* luaO_pushvfstring(lua_State* L, const char* fmt, va_list argp);
const char* luaO_pushfstring(lua_State* L, const char* fmt, ...);
// Integer argument for %d of luaO_pushfstring.
inline int luaO_fint(int i) { return int(uint32_t(i) << 16); }
