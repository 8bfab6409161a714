// The headless host: no window, no keyboard, a monotonic clock and a real
// sleep. Used by -headless and -x runs and by tests that need a host.
#include <csignal>
#include <ctime>

#include <chrono>
#include <thread>

#include "platform/host.h"

namespace {
// SIGINT and SIGTERM become the host's quit event, so a headless run that is
// interrupted still shuts down in order and writes its settings.
volatile std::sig_atomic_t g_quit_signal = 0;
void on_quit_signal(int) { g_quit_signal = 1; }

class headless_host final : public kiln_host {
public:
    bool headless() const override { return true; }
    bool system_init() override
    {
        start_ = std::chrono::steady_clock::now();
        g_quit_signal = 0;
        std::signal(SIGINT, on_quit_signal);
        std::signal(SIGTERM, on_quit_signal);
        return true;
    }
    void system_exit() override
    {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
    uint32_t ticks() override
    {
        auto d = std::chrono::steady_clock::now() - start_;
        return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    }
    void sleep_ms(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    void desktop_size(int* w, int* h) override { *w = *h = 0; }
    int open_window(const kiln_window_desc&) override { return 0; }
    void close_window() override {}
    void window_size(int* w, int* h) override { *w = *h = 0; }
    bool has_focus() override { return false; }
    void present(const uint32_t*, int, int, kiln_rect, const uint32_t*) override {}
    void sample_keyboard(uint8_t[KILN_KEYS], int* mods) override { *mods = 0; }
    bool poll_event(kiln_host_event* ev) override
    {
        if (!g_quit_signal) return false;
        g_quit_signal = 0;
        *ev = kiln_host_event{};
        ev->kind = kiln_host_event::QUIT;
        return true;
    }
    void mouse_state(int* x, int* y, int* b) override { *x = *y = *b = 0; }
    bool has_clipboard() override { return !clip_.empty(); }
    std::string get_clipboard() override { return clip_; }
    void set_clipboard(const std::string& t) override { clip_ = t; }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::string clip_;
};
}  // namespace

kiln_host* kiln_headless_host()
{
    static headless_host host;
    return &host;
}
