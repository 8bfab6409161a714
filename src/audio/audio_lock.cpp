// The counted audio lock. owner is the thread that holds the mutex; count
// is touched only by that thread.
#include <atomic>
#include <mutex>
#include <thread>

#include "audio/audio.h"

namespace {
std::mutex g_mutex;
std::atomic<std::thread::id> g_owner{};
int g_count = 0;

bool held_here() { return g_owner.load(std::memory_order_relaxed) == std::this_thread::get_id(); }

void take()
{
    g_owner.store(std::this_thread::get_id(), std::memory_order_relaxed);
    g_count = 1;
}
}  // namespace

void orbo_lock_audio()
{
    if (held_here()) {
        g_count++;
        return;
    }
    g_mutex.lock();
    take();
}

bool orbo_try_lock_audio()
{
    if (held_here()) {
        g_count++;
        return true;
    }
    if (!g_mutex.try_lock()) return false;
    take();
    return true;
}

void orbo_unlock_audio()
{
    if (!held_here()) return;
    if (--g_count > 0) return;
    g_owner.store(std::thread::id(), std::memory_order_relaxed);
    g_mutex.unlock();
}
