// Input of the lexer (a memory block) and growable character buffers.
#pragma once
#include "lmem.h"

#define EOZ (-1)

struct ZIO {
    const char* p;
    size_t n;  // bytes left
};
inline void luaZ_init(ZIO* z, const char* buf, size_t size) { z->p = buf; z->n = size; }
inline int zgetc(ZIO* z) { return z->n > 0 ? (z->n--, cast_int((unsigned char)*z->p++)) : EOZ; }

struct Mbuffer {
    char* buffer;
    size_t n;
    size_t buffsize;
};
inline void luaZ_initbuffer(Mbuffer* b) { b->buffer = nullptr; b->n = 0; b->buffsize = 0; }
#define luaZ_buffer(buff) ((buff)->buffer)
#define luaZ_sizebuffer(buff) ((buff)->buffsize)
#define luaZ_bufflen(buff) ((buff)->n)
#define luaZ_buffremove(buff, i) ((buff)->n -= (i))
#define luaZ_resetbuffer(buff) ((buff)->n = 0)
#define luaZ_resizebuffer(L, buff, size) \
    ((buff)->buffer = cast(char*, luaM_reallocv(L, (buff)->buffer, (buff)->buffsize, size, 1)), (buff)->buffsize = size)
#define luaZ_freebuffer(L, buff) luaZ_resizebuffer(L, buff, 0)
