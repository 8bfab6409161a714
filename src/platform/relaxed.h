// A value shared with the audio thread and read there without the audio lock.
// Plain 32-bit loads and stores are all that is needed (no ordering with other
// data), so every access is relaxed. Unlike std::atomic it copies, which lets
// records holding it (the settings and their as-read copy) stay plain values.
#pragma once
#include <atomic>

template <typename T>
class kiln_relaxed {
public:
    kiln_relaxed(T v = T()) : v_(v) {}
    kiln_relaxed(const kiln_relaxed& o) : v_(o.load()) {}
    kiln_relaxed& operator=(const kiln_relaxed& o) { store(o.load()); return *this; }
    kiln_relaxed& operator=(T v) { store(v); return *this; }
    operator T() const { return load(); }
    T load() const { return v_.load(std::memory_order_relaxed); }
    void store(T v) { v_.store(v, std::memory_order_relaxed); }

private:
    std::atomic<T> v_;
};
