// A test binary that includes this (in exactly one file) counts every global
// operator new in orbo_news, so a test can show that a call allocates nothing.
#pragma once
#include <atomic>
#include <cstdlib>
#include <new>

inline std::atomic<long> orbo_news{0};

void* operator new(std::size_t n)
{
    orbo_news++;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
// The nothrow forms too, so every form pairs with the deletes above.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    orbo_news++;
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
