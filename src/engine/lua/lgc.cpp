// The collector: a full mark-and-sweep that stops the world. It runs when
// the bytes in use pass the threshold (pause 200: twice the bytes live after
// the previous collection), when asked for a full collection, and as an
// emergency collection when an allocation fails. Because the program never
// runs while a collection is in progress, no write barrier is needed.
// Invariants: outside a collection no object carries the mark bit; every
// GC pointer stored in any stack slot points at a live object (slots above
// the live part of a stack are cleared to nil by each collection).
#include <cstring>
#include <new>

#include "engine/lua/cpu.h"
#include "engine/lua/internal.h"

#define MARKED (1 << BLACKBIT)
#define ismarked(o) ((o)->marked & MARKED)
#define setmarked(o) ((o)->marked |= MARKED)
#define clearmark(o) ((o)->marked &= lu_byte(~MARKED))
#define tofinalize(o) ((o)->marked & (1 << SEPARATED))
#define KGC_NORMAL 0
#define KGC_EMERGENCY 1
#define GCPAUSE 200
#define GCSTEPMUL 200
#define MIN_THRESHOLD (64 * 1024)

static void reallymarkobject(global_State* g, GCObject* o);

static inline void markvalue(global_State* g, const TValue* o)
{
    if (iscollectable(o) && !ismarked(gcvalue(o))) reallymarkobject(g, gcvalue(o));
}
static inline void markobject(global_State* g, void* p)
{
    GCObject* o = static_cast<GCObject*>(p);
    if (o != nullptr && !ismarked(o)) reallymarkobject(g, o);
}

static void linkgray(GCObject** list, GCObject** field, GCObject* o)
{
    *field = *list;
    *list = o;
}

// Marks an object: leaves are done at once, containers wait on the gray list.
static void reallymarkobject(global_State* g, GCObject* o)
{
    setmarked(o);
    switch ((o)->tt) {
    case LUA_TSTRING: return;
    case LUA_TUSERDATA:
        markobject(g, gco2u(o)->metatable);
        markobject(g, gco2u(o)->env);
        return;
    case LUA_TUPVAL: markvalue(g, gco2uv(o)->v); return;  // open: the slot's value may outlive its thread
    case LUA_TLCL: linkgray(&g->gray, &gco2lcl(o)->gclist, o); return;
    case LUA_TCCL: linkgray(&g->gray, &gco2ccl(o)->gclist, o); return;
    case LUA_TTABLE: linkgray(&g->gray, &gco2t(o)->gclist, o); return;
    case LUA_TTHREAD: linkgray(&g->gray, &gco2th(o)->gclist, o); return;
    case LUA_TPROTO: linkgray(&g->gray, &gco2p(o)->gclist, o); return;
    default: return;
    }
}

static void markmt(global_State* g)
{
    for (int i = 0; i < LUA_NUMTAGS; i++) markobject(g, g->mt[i]);
}

static void markbeingfnz(global_State* g)
{
    for (GCObject* o = g->tobefnz; o != nullptr; o = (o)->next) {
        if (!ismarked(o)) reallymarkobject(g, o);
    }
}

// Weak-key table: a value is marked only once its key is. Returns whether
// anything was marked.
static bool traverseephemeron(global_State* g, Table* h)
{
    bool marked = false;
    for (int i = 0; i < h->sizearray; i++) {
        if (iscollectable(&h->array[i]) && !ismarked(gcvalue(&h->array[i]))) {
            marked = true;
            reallymarkobject(g, gcvalue(&h->array[i]));
        }
    }
    Node* limit = gnode(h, sizenode(h));
    for (Node* n = gnode(h, 0); n < limit; n++) {
        if (ttisnil(gval(n))) continue;
        const TValue* k = gkey(n);
        bool keyalive = !iscollectable(k) || ttisstring(k) || ismarked(gcvalue(k));
        if (ttisstring(k)) markvalue(g, k);
        if (keyalive && iscollectable(gval(n)) && !ismarked(gcvalue(gval(n)))) {
            marked = true;
            reallymarkobject(g, gcvalue(gval(n)));
        }
    }
    return marked;
}

static void traversestrongtable(global_State* g, Table* h)
{
    for (int i = 0; i < h->sizearray; i++) markvalue(g, &h->array[i]);
    Node* limit = gnode(h, sizenode(h));
    for (Node* n = gnode(h, 0); n < limit; n++) {
        if (ttisnil(gval(n))) continue;
        markvalue(g, gkey(n));
        markvalue(g, gval(n));
    }
}

static void traverseweakvalue(global_State* g, Table* h)
{
    Node* limit = gnode(h, sizenode(h));
    for (Node* n = gnode(h, 0); n < limit; n++) {
        if (ttisnil(gval(n))) continue;
        markvalue(g, gkey(n));
        if (ttisstring(gval(n))) markvalue(g, gval(n));  // strings are values, never cleared
    }
    for (int i = 0; i < h->sizearray; i++)
        if (ttisstring(&h->array[i])) markvalue(g, &h->array[i]);
    linkgray(&g->weak, &h->gclist, obj2gco(h));
}

static void traversetable(global_State* g, Table* h)
{
    markobject(g, h->metatable);
    const TValue* mode = gfasttm(g, h->metatable, TM_MODE);
    if (mode && ttisstring(mode)) {
        bool weakkey = strchr(svalue(mode), 'k') != nullptr;
        bool weakvalue = strchr(svalue(mode), 'v') != nullptr;
        if (weakkey || weakvalue) {
            if (!weakkey) traverseweakvalue(g, h);
            else if (!weakvalue) {
                traverseephemeron(g, h);
                linkgray(&g->ephemeron, &h->gclist, obj2gco(h));
            } else {
                // Only strings are kept alive by a fully weak table.
                Node* limit = gnode(h, sizenode(h));
                for (Node* n = gnode(h, 0); n < limit; n++) {
                    if (ttisnil(gval(n))) continue;
                    if (ttisstring(gkey(n))) markvalue(g, gkey(n));
                    if (ttisstring(gval(n))) markvalue(g, gval(n));
                }
                linkgray(&g->allweak, &h->gclist, obj2gco(h));
            }
            return;
        }
    }
    traversestrongtable(g, h);
}

static void traverseproto(global_State* g, Proto* f)
{
    f->cache = nullptr;  // the closure cache is weak: dropped at every collection
    markobject(g, f->source);
    for (int i = 0; i < f->sizek; i++) markvalue(g, &f->k[i]);
    for (int i = 0; i < f->sizeupvalues; i++) markobject(g, f->upvalues[i].name);
    for (int i = 0; i < f->sizep; i++) markobject(g, f->p[i]);
    for (int i = 0; i < f->sizelocvars; i++) markobject(g, f->locvars[i].varname);
}

// Marks a thread's live stack and clears the rest, so stale slots never
// keep (or point at) dead objects.
static void traversethread(global_State* g, lua_State* th)
{
    StkId o = th->stack;
    if (o == nullptr) return;
    // Everything live is below top: Lua frames keep top at their register
    // limit, and the virtual machine lowers it before collecting.
    for (; o < th->top; o++) markvalue(g, o);
    for (StkId end = th->stack + th->stacksize; o < end; o++) setnilvalue(o);
    for (GCObject* uv = th->openupval; uv != nullptr; uv = (uv)->next) setmarked(uv);
}

static void propagatemark(global_State* g)
{
    GCObject* o = g->gray;
    switch ((o)->tt) {
    case LUA_TTABLE:
        g->gray = gco2t(o)->gclist;
        traversetable(g, gco2t(o));
        break;
    case LUA_TLCL: {
        LClosure* cl = gco2lcl(o);
        g->gray = cl->gclist;
        markobject(g, cl->p);
        for (int i = 0; i < cl->nupvalues; i++) markobject(g, cl->upvals[i]);
        break;
    }
    case LUA_TCCL: {
        CClosure* cl = gco2ccl(o);
        g->gray = cl->gclist;
        for (int i = 0; i < cl->nupvalues; i++) markvalue(g, &cl->upvalue[i]);
        break;
    }
    case LUA_TTHREAD:
        g->gray = gco2th(o)->gclist;
        traversethread(g, gco2th(o));
        break;
    case LUA_TPROTO:
        g->gray = gco2p(o)->gclist;
        traverseproto(g, gco2p(o));
        break;
    default: break;
    }
}

static void propagateall(global_State* g)
{
    while (g->gray) propagatemark(g);
}

static void convergeephemerons(global_State* g)
{
    bool changed;
    do {
        GCObject* next = g->ephemeron;
        g->ephemeron = nullptr;
        changed = false;
        while (next != nullptr) {
            GCObject* w = next;
            next = gco2t(w)->gclist;
            if (traverseephemeron(g, gco2t(w))) {
                propagateall(g);
                changed = true;
            }
            linkgray(&g->ephemeron, &gco2t(w)->gclist, w);
        }
    } while (changed);
}

static bool iscleared(const TValue* o)
{
    if (!iscollectable(o) || ttisstring(o)) return false;
    return !ismarked(gcvalue(o));
}

static void removeentry(Node* n)
{
    if (iscollectable(gkey(n))) setdeadvalue(gkey(n));  // keeps the chain walkable
}

static void clearkeys(global_State* g, GCObject* l, GCObject* f)
{
    for (; l != f; l = gco2t(l)->gclist) {
        Table* h = gco2t(l);
        luaH_changed(g, h);
        Node* limit = gnode(h, sizenode(h));
        for (Node* n = gnode(h, 0); n < limit; n++) {
            if (!ttisnil(gval(n)) && iscleared(gkey(n))) {
                setnilvalue(gval(n));
                removeentry(n);
            }
        }
    }
}

static void clearvalues(global_State* g, GCObject* l, GCObject* f)
{
    for (; l != f; l = gco2t(l)->gclist) {
        Table* h = gco2t(l);
        luaH_changed(g, h);
        for (int i = 0; i < h->sizearray; i++)
            if (iscleared(&h->array[i])) setnilvalue(&h->array[i]);
        Node* limit = gnode(h, sizenode(h));
        for (Node* n = gnode(h, 0); n < limit; n++) {
            if (!ttisnil(gval(n)) && iscleared(gval(n))) {
                setnilvalue(gval(n));
                removeentry(n);
            }
        }
    }
}

void luaC_freeobj(lua_State* L, GCObject* o)
{
    switch ((o)->tt) {
    case LUA_TPROTO: luaF_freeproto(L, gco2p(o)); break;
    case LUA_TLCL: luaM_freemem(L, o, sizeLclosure(gco2lcl(o)->nupvalues)); break;
    case LUA_TCCL: luaM_freemem(L, o, sizeCclosure(gco2ccl(o)->nupvalues)); break;
    case LUA_TUPVAL: luaF_freeupval(L, gco2uv(o)); break;
    case LUA_TTABLE: luaH_free(L, gco2t(o)); break;
    case LUA_TTHREAD: luaE_freethread(L, gco2th(o)); break;
    case LUA_TUSERDATA: luaM_freemem(L, o, sizeof(Udata) + gco2u(o)->len); break;
    case LUA_TSHRSTR:
        G(L)->strt.nuse--;
        luaM_freemem(L, o, sizestring(gco2ts(o)->len));
        break;
    case LUA_TLNGSTR: luaM_freemem(L, o, sizestring(gco2ts(o)->len)); break;
    default: break;
    }
}

static void sweepopenupvals(lua_State* L, lua_State* th)
{
    GCObject** p = &th->openupval;
    while (*p != nullptr) {
        GCObject* curr = *p;
        if (ismarked(curr)) {
            clearmark(curr);
            p = &(curr)->next;
        } else {
            *p = (curr)->next;
            luaF_freeupval(L, gco2uv(curr));
        }
    }
}

// A dead thread's open upvalues that live closures still use are closed
// with their current value and collected here, then join the ordinary list
// after the sweep (so the sweep never meets them).
static GCObject* closed_by_sweep;

static void closedeadupvals(lua_State* L, lua_State* th)
{
    while (th->openupval != nullptr) {
        GCObject* o = th->openupval;
        UpVal* uv = gco2uv(o);
        th->openupval = uv->next;
        if (ismarked(o)) {
            uv->u.l.next->u.l.prev = uv->u.l.prev;
            uv->u.l.prev->u.l.next = uv->u.l.next;
            setobj(&uv->u.value, uv->v);
            uv->v = &uv->u.value;
            clearmark(o);
            uv->next = closed_by_sweep;
            closed_by_sweep = o;
        } else {
            luaF_freeupval(L, uv);
        }
    }
}

// Frees every unmarked object of a list and unmarks the survivors.
static void sweeplist(lua_State* L, GCObject** p)
{
    while (*p != nullptr) {
        GCObject* curr = *p;
        if (ismarked(curr) || isfixed(curr)) {
            clearmark(curr);
            if ((curr)->tt == LUA_TTHREAD) sweepopenupvals(L, gco2th(curr));
            p = &(curr)->next;
        } else {
            *p = (curr)->next;
            if ((curr)->tt == LUA_TTHREAD) closedeadupvals(L, gco2th(curr));
            luaC_freeobj(L, curr);
        }
    }
}

static void sweepstrings(lua_State* L)
{
    stringtable* tb = &G(L)->strt;
    for (int i = 0; i < tb->size; i++) {
        GCObject** p = &tb->hash[i];
        while (*p != nullptr) {
            GCObject* curr = *p;
            if (ismarked(curr) || isfixed(curr)) {
                clearmark(curr);
                p = &(curr)->next;
            } else {
                *p = (curr)->next;
                luaC_freeobj(L, curr);
            }
        }
    }
}

// Unreachable objects with finalizers move to the end of tobefnz.
static void separatetobefnz(global_State* g)
{
    GCObject** p = &g->finobj;
    GCObject** lastnext = &g->tobefnz;
    while (*lastnext != nullptr) lastnext = &(*lastnext)->next;
    while (*p != nullptr) {
        GCObject* curr = *p;
        if (ismarked(curr)) p = &(curr)->next;
        else {
            *p = (curr)->next;
            (curr)->next = *lastnext;
            *lastnext = curr;
            lastnext = &(curr)->next;
        }
    }
}

static void collect(lua_State* L)
{
    global_State* g = G(L);
    g->gray = g->weak = g->ephemeron = g->allweak = nullptr;
    markobject(g, g->mainthread);
    markvalue(g, &g->l_registry);
    markmt(g);
    markbeingfnz(g);
    propagateall(g);
    convergeephemerons(g);
    clearvalues(g, g->weak, nullptr);
    clearvalues(g, g->allweak, nullptr);
    GCObject* origweak = g->weak;
    GCObject* origall = g->allweak;
    separatetobefnz(g);
    markbeingfnz(g);
    propagateall(g);
    convergeephemerons(g);
    clearkeys(g, g->ephemeron, nullptr);
    clearkeys(g, g->allweak, nullptr);
    clearvalues(g, g->weak, origweak);
    clearvalues(g, g->allweak, origall);
    sweepstrings(L);
    memset(g->caches.string_memos, 0, sizeof(g->caches.string_memos));
    closed_by_sweep = nullptr;
    sweeplist(L, &g->allgc);
    sweeplist(L, &g->finobj);
    while (closed_by_sweep != nullptr) {
        GCObject* o = closed_by_sweep;
        closed_by_sweep = (o)->next;
        (o)->next = g->allgc;
        g->allgc = o;
    }
    for (GCObject* o = g->tobefnz; o != nullptr; o = (o)->next) clearmark(o);
    clearmark(obj2gco(g->mainthread));
    sweepopenupvals(L, g->mainthread);
    if (g->gckind != KGC_EMERGENCY) {
        int size = g->strt.size;
        while (g->strt.nuse < uint32_t(size / 4) && size > 64) size /= 2;
        if (size != g->strt.size) luaS_resize(L, size);
    }
    g->GCestimate = g->totalbytes;
    size_t threshold = (g->GCestimate / 100) * size_t(g->gcpause);
    g->GCthreshold = threshold < MIN_THRESHOLD ? MIN_THRESHOLD : threshold;
}

// Calls the finalizer of the first object waiting for one. The object goes
// back to the ordinary list, marked as finalized.
static void GCTM(lua_State* L, int propagateerrors)
{
    global_State* g = G(L);
    GCObject* o = g->tobefnz;
    g->tobefnz = (o)->next;
    (o)->next = g->allgc;
    g->allgc = o;
    (o)->marked = lu_byte(((o)->marked & ~(1 << SEPARATED)) | (1 << FINALIZEDBIT));
    TValue v;
    setgcovalue(&v, o);
    const TValue* tm = luaT_gettmbyobj(L, &v, TM_GC);
    if (tm == nullptr || !ttisfunction(tm)) return;
    // The allowance of the collection is spent (only possible while the
    // state closes, see callallpendingfinalizers): the finalizer is skipped.
    if (!orbo_finalizers_may_run()) return;
    lu_byte running = g->gcrunning;
    // Finalizers run under a count hook of their own that bounds their work
    // (where the reference engine turns hooks off), see cpu.h.
    orbo_finalizer_hooks saved;
    orbo_finalizer_enter(L, &saved);
    g->gcrunning = 0;
    setobj(L->top, tm);
    setobj(L->top + 1, &v);
    L->top += 2;
    int status = luaD_pcall(
        L, [](lua_State* L1, void*) { luaD_call(L1, L1->top - 2, 0, 0); }, nullptr, savestack(L, L->top - 2), 0);
    orbo_finalizer_leave(L, &saved);
    g->gcrunning = running;
    if (status != LUA_OK && propagateerrors) {
        if (status == LUA_ERRRUN) {
            const char* msg = ttisstring(L->top - 1) ? svalue(L->top - 1) : "no message";
            luaO_pushfstring(L, "error in __gc metamethod (%s)", msg);
            status = LUA_ERRGCMM;
        }
        luaD_throw(L, status);
    }
}

// Each call starts a fresh allowance of finalizer cycles. A collection
// leaves the finalizers it has no cycles left for to the next one; a state
// closing skips them.
static void callallpendingfinalizers(lua_State* L, int propagateerrors)
{
    orbo_finalizers_begin();
    while (G(L)->tobefnz) {
        if (propagateerrors && !orbo_finalizers_may_run()) break;
        GCTM(L, propagateerrors);
    }
}

void luaC_fullgc(lua_State* L, int isemergency)
{
    global_State* g = G(L);
    if (g->gcinprogress) return;
    g->gcinprogress = 1;
    g->gckind = isemergency ? KGC_EMERGENCY : KGC_NORMAL;
    collect(L);
    g->gckind = KGC_NORMAL;
    g->gcinprogress = 0;
    if (!isemergency) {
        // Stacks grown by deep recursion give their memory back.
        luaD_shrinkstack(g->mainthread);
        for (GCObject* o = g->allgc; o != nullptr; o = o->next)
            if (o->tt == LUA_TTHREAD) luaD_shrinkstack(gco2th(o));
    }
    if (!isemergency) callallpendingfinalizers(L, 1);
}

void luaC_step(lua_State* L)
{
    global_State* g = G(L);
    if (!g->gcrunning) {
        g->GCthreshold = g->totalbytes + MIN_THRESHOLD;  // check again later
        return;
    }
    luaC_fullgc(L, 0);
}

GCObject* luaC_newobj(lua_State* L, int tt, size_t sz, GCObject** list, int)
{
    global_State* g = G(L);
    auto* o = static_cast<GCObject*>(luaM_newobject(L, novariant(tt), sz));
    new (o) GCObject{};
    if (list == nullptr) list = &g->allgc;
    (o)->marked = 0;
    (o)->tt = lu_byte(tt);
    (o)->next = *list;
    *list = o;
    return o;
}

// An object whose new metatable has __gc moves to the finobj list.
void luaC_checkfinalizer(lua_State* L, GCObject* o, Table* mt)
{
    global_State* g = G(L);
    if (((o)->marked & ((1 << SEPARATED) | (1 << FINALIZEDBIT))) || gfasttm(g, mt, TM_GC) == nullptr) return;
    GCObject** p = &g->allgc;
    while (*p != o) p = &(*p)->next;
    *p = (o)->next;
    (o)->next = g->finobj;
    g->finobj = o;
    (o)->marked |= lu_byte(1 << SEPARATED);
}

void luaC_freeallobjects(lua_State* L)
{
    global_State* g = G(L);
    g->gcinprogress = 1;
    // Objects still waiting (finalizers already run or never run) go too.
    for (GCObject** l : {&g->tobefnz, &g->finobj}) {
        while (*l) {
            GCObject* o = *l;
            *l = o->next;
            luaC_freeobj(L, o);
        }
    }
    GCObject** p = &g->allgc;
    while (*p != nullptr) {
        GCObject* curr = *p;
        *p = (curr)->next;
        luaC_freeobj(L, curr);
    }
    for (int i = 0; i < g->strt.size; i++) {
        while (g->strt.hash[i]) {
            GCObject* o = g->strt.hash[i];
            g->strt.hash[i] = o->next;
            luaC_freeobj(L, o);
        }
    }
}

// Every object with a finalizer gets it called once before the state closes.
void luaC_runallfinalizers(lua_State* L)
{
    global_State* g = G(L);
    GCObject** lastnext = &g->tobefnz;
    while (*lastnext != nullptr) lastnext = &(*lastnext)->next;
    *lastnext = g->finobj;
    g->finobj = nullptr;
    callallpendingfinalizers(L, 0);
}

