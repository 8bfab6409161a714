// Framework start, stop and the host main loop.
//
// Start order (each step logged by name): settings defaults and command line,
// log, settings file, command line again, then the host and the subsystems.
// Stop order is fixed as well; see kiln_exit.
#include "platform/kiln.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/config.h"
#include "platform/joystick.h"
#include "platform/keys.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/sound.h"
#include "platform/video.h"

kiln_state_rec kiln_state;
bool kiln_quit = false;

namespace {
std::atomic<int> g_quit_request{0};
std::atomic<int> g_shutdown_started{0};
std::atomic<void (*)()> g_emergency_save{nullptr};
static_assert(std::atomic<int>::is_always_lock_free, "signal handlers set it");

void on_quit_signal(int) { kiln_request_quit_async(); }

// The settings file as the main loop last published it, for the watchdog.
std::mutex g_settings_lock;
std::string g_settings_path, g_settings_text;
int g_settings_published_ms = 0;

void save_published_settings()
{
    std::string path, text;
    {
        std::lock_guard<std::mutex> hold(g_settings_lock);
        path = g_settings_path;
        text = g_settings_text;
    }
    // Through a temporary file and a rename: a shutdown on the main thread
    // writing the same file at the same moment leaves one whole version.
    if (!path.empty()) kiln_write_file_atomic(path, text.data(), text.size());
}

// Waits for a quit request, then for the main thread to begin its shutdown;
// a main thread stuck past the grace period is abandoned.
void watchdog()
{
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!g_quit_request.load()) continue;
        auto asked = std::chrono::steady_clock::now();
        while (!g_shutdown_started.load() &&
               std::chrono::steady_clock::now() - asked < std::chrono::milliseconds(KILN_QUIT_GRACE_MS))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (g_shutdown_started.load()) {
            // An orderly shutdown is under way; it gets a few seconds more.
            std::this_thread::sleep_for(std::chrono::seconds(5));
            _exit(1);
        }
        if (void (*save)() = g_emergency_save.load()) save();
        save_published_settings();
        const char msg[] = "quit: the program did not stop; abandoned\n";
        ssize_t ignored = write(2, msg, sizeof msg - 1);
        (void)ignored;
        _exit(0);
    }
}
}  // namespace

void kiln_request_quit_async() { g_quit_request.store(1); }
bool kiln_quit_requested() { return g_quit_request.load(std::memory_order_relaxed) != 0; }
void kiln_set_emergency_save(void (*save)()) { g_emergency_save.store(save); }

void kiln_publish_settings()
{
    g_settings_published_ms = kiln_ms_since_start();
    std::string text = kiln_config_text();
    std::string path = kiln_prefix_with_appdata_path("config.txt");
    std::lock_guard<std::mutex> hold(g_settings_lock);
    if (text != g_settings_text) g_settings_text = std::move(text);
    if (path != g_settings_path) g_settings_path = std::move(path);
}

void kiln_install_quit_signals()
{
    struct sigaction sa{};
    sa.sa_handler = on_quit_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    static bool watching = false;
    if (!watching) std::thread(watchdog).detach();
    watching = true;
}

namespace {
kiln_host* g_host = nullptr;
void no_hook() {}
kiln_app g_app = {no_hook, no_hook, no_hook, no_hook};
int g_exit_status = 0;
char g_app_title[256] = "kiln";
char g_program_path[512] = "";
std::vector<std::string> g_args;
bool g_force_headless = false;
uint32_t g_timer_base = 0;
unsigned g_random_seed = 0;
int g_last_mouse_x = 0, g_last_mouse_y = 0;
std::chrono::steady_clock::time_point g_run_start = std::chrono::steady_clock::now();

std::vector<char*> arg_vector(std::vector<std::string>& args)
{
    std::vector<char*> v;
    for (std::string& a : args) v.push_back(a.data());
    v.push_back(nullptr);
    return v;
}

void system_init()
{
    kiln_debug("kiln_system_init\n");
    if (!g_host->system_init()) kiln_fatal("Unable to initialize SDL");
    kiln_build_key_names();
}
}  // namespace

kiln_host* kiln_host_get() { return g_host ? g_host : kiln_headless_host(); }
void kiln_host_set(kiln_host* host) { g_host = host; }
void kiln_force_headless(bool on) { g_force_headless = on; }

void kiln_set_app_title(const char* title)
{
    snprintf(g_app_title, sizeof g_app_title, "%s", title ? title : "");
    snprintf(kiln_state.app_title, sizeof kiln_state.app_title, "%s", g_app_title);
}

const char* kiln_program_path() { return g_program_path; }

bool kiln_init(int argc, char** argv)
{
    if (kiln_state.initialised) return true;
    if (!g_host) g_host = kiln_headless_host();

    kiln_state = kiln_state_rec{};
    snprintf(kiln_state.app_title, sizeof kiln_state.app_title, "%s", g_app_title);
    snprintf(kiln_state.window_title, sizeof kiln_state.window_title, "%s", g_app_title);
    kiln_state.title = kiln_state.app_title;

    // The command line is read first only for the root folder; the copy kept
    // for writing back must hold the defaults and the file, never an option.
    kiln_config_default();
    kiln_process_arguments(argc, argv);
    std::string home = cconfig.home;
    kiln_config_default();
    kiln_setup_root_folder(home, g_app_title);

    kiln_log_open(kiln_prefix_with_appdata_path("log.txt").c_str());
    kiln_debug(">kiln_init\n");
    kiln_debug("platform: %s\n", "Linux");

    kiln_config_load();
    cconfig_file = cconfig;
    kiln_process_arguments(argc, argv);
    if (g_force_headless || g_host->headless()) cconfig.headless = 1;

    system_init();
    // After the host's start: its own handlers (SDL's) are replaced, since
    // they only queue an event a stuck main thread would never read.
    kiln_install_quit_signals();
    g_shutdown_started.store(0);
    kiln_debug("kiln_reset_timer\n");
    g_timer_base = g_host->ticks();
    kiln_debug("kiln_gui_init\n");
    kiln_debug("kiln_keys_init\n");
    kiln_keys_init();
    kiln_debug("kiln_text_init\n");
    kiln_debug("kiln_video_init\n");
    kiln_video_init();
    kiln_debug("kiln_mouse_init\n");
    kiln_debug("kiln_joystick_init\n");
    kiln_joystick_init();

    g_random_seed = 0;
    cconfig.sessions++;
    kiln_debug("<ok\n");
    kiln_state.initialised = true;
    return true;
}

void kiln_exit()
{
    if (!kiln_state.initialised) return;
    kiln_state.initialised = false;
    g_shutdown_started.store(1);
    kiln_debug(">kiln_exit\n");
    kiln_debug("cmusic_stop\n");
    kiln_sound.music_stop();
    kiln_debug("kiln_main_exit\n");
    g_app.exit();
    kiln_video_remember_window();
    kiln_debug("kiln_config_save\n");
    kiln_config_save();
    kiln_debug("kiln_sound_exit\n");
    kiln_sound.exit();
    kiln_debug("kiln_video_exit\n");
    kiln_video_exit();
    kiln_debug("kiln_joystick_exit\n");
    kiln_joystick_exit();
    kiln_debug("kiln_system_exit\n");
    g_host->system_exit();
    kiln_debug("kiln_items_created: %d\n", kiln_state.items_created);
    kiln_debug("<ok\n");
    fflush(stdout);
    kiln_log_close();
}

void kiln_restart()
{
    kiln_exit();
    g_app.init();
}

void kiln_main_pass()
{
    g_app.update();
    g_app.draw();
    kiln_blit_back_page();
    kiln_handle_messages();
    if (kiln_ms_since_start() - g_settings_published_ms >= 1000) kiln_publish_settings();
}

void kiln_handle_messages()
{
    kiln_handle_system_messages();
    int mx, my, mb;
    kiln_get_mouse(&mx, &my, &mb);
    kiln_state.mouse_dx += mx - g_last_mouse_x;
    kiln_state.mouse_dy += my - g_last_mouse_y;
    g_last_mouse_x = mx;
    g_last_mouse_y = my;
    kiln_sound.update_music_fades();
}

int kiln_ms_since_start()
{
    auto d = std::chrono::steady_clock::now() - g_run_start;
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

int kiln_run(kiln_host* host, const kiln_app& app, int argc, char** argv)
{
    g_run_start = std::chrono::steady_clock::now();
    g_host = host;
    kiln_set_app(app);
    g_exit_status = 0;
    kiln_set_arguments(argc, argv);
    g_app.init();
    kiln_quit = false;
    kiln_publish_settings();  // before the first pass: a program may get stuck in it
    while (!kiln_quit) kiln_main_pass();
    if (kiln_state.initialised) kiln_exit();
    return g_exit_status;
}

void kiln_set_exit_status(int status) { g_exit_status = status; }

void kiln_set_app(const kiln_app& app) { g_app = app; }

void kiln_set_arguments(int argc, char** argv)
{
    snprintf(g_program_path, sizeof g_program_path, "%s", argc > 0 && argv[0] ? argv[0] : "");
    g_args.assign(argv, argv + argc);
}

// The stored arguments for the application's own parser (kiln_main_init).
int kiln_argc() { return int(g_args.size()); }
char** kiln_argv()
{
    static std::vector<char*> v;
    v = arg_vector(g_args);
    return v.data();
}

void kiln_terminate(int status)
{
    kiln_exit();
    fflush(stdout);
    std::exit(status);
}

void kiln_fatal(const char* message)
{
    std::string err = kiln_host_get()->take_error();
    if (!err.empty()) kiln_debug("SDL Error: %s\n", err.c_str());
    kiln_debug("\n\n** FATAL ERROR: %s\n\n", message);
    kiln_terminate(1);
}
