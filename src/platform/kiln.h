// The framework core: its state record, start (kiln_init), stop (kiln_exit)
// and the host main loop (kiln_run). The application hands kiln_run its
// hooks (kiln_app): start, the update and draw of every pass, and exit.
#pragma once
#include <cstdint>

#include "platform/host.h"
#include "platform/relaxed.h"

struct kiln_state_rec {
    char app_title[256] = "kiln";
    char window_title[256] = "";
    const char* title = app_title;     // the title in use
    kiln_relaxed<int> audio_pause = 0;  // read by the audio callback without the lock
    bool window_size_requested = false;
    int mouse_dx = 0, mouse_dy = 0;
    bool initialised = false;
    int items_created = 0;
};
extern kiln_state_rec kiln_state;
extern bool kiln_quit;

// A quit asked for by SIGINT or SIGTERM (or by the host) that must be
// answered whatever the application is doing. Safe to call from a signal
// handler. The main loop answers it with the ordinary shutdown at its next
// pass; script code notices it at its next count hook and stops; should the
// main thread still not reach the shutdown within KILN_QUIT_GRACE_MS, a
// watchdog thread saves what the emergency hook saves (cartridge data) and
// the settings, and ends the process. The watchdog never touches what the
// main thread owns: the settings it writes are the text the main loop
// publishes (at most once a second, when it changed), and the hook must
// read only data its owner shares with other threads.
constexpr int KILN_QUIT_GRACE_MS = 600;
void kiln_request_quit_async();
bool kiln_quit_requested();
// The emergency hook of the watchdog, run on the watchdog's thread.
void kiln_set_emergency_save(void (*save)());
// Publishes the settings text for the watchdog now (the main loop does it
// by itself once a second).
void kiln_publish_settings();
// Installs the SIGINT and SIGTERM handlers and starts the watchdog (once).
void kiln_install_quit_signals();

// The host in use (set by kiln_run; the headless host until then).
kiln_host* kiln_host_get();
void kiln_host_set(kiln_host* host);

void kiln_set_app_title(const char* title);
// The stored program path and arguments.
const char* kiln_program_path();
// The stored command line (for the application's option parser).
int kiln_argc();
char** kiln_argv();
// Stores the program path and arguments (kiln_run does this first).
void kiln_set_arguments(int argc, char** argv);

// Platform start and stop; both do nothing when already in that state.
// kiln_init returns false when the host could not start (after the fatal
// error has been reported).
bool kiln_init(int argc, char** argv);
void kiln_exit();
void kiln_restart();

// The application the framework runs.
struct kiln_app {
    void (*init)();    // start-up, after the arguments are stored
    void (*update)();  // once per pass, then draw
    void (*draw)();
    void (*exit)();    // inside kiln_exit, before the settings are saved
};

// Runs the whole program over the given host: the application's init, the
// loop until kiln_quit, then kiln_exit. Returns the process status: 0, or
// what the application set with kiln_set_exit_status.
int kiln_run(kiln_host* host, const kiln_app& app, int argc, char** argv);
// The application kiln_main_pass and kiln_exit call (kiln_run sets it; tests
// that drive passes themselves set it here).
void kiln_set_app(const kiln_app& app);
// The status kiln_run returns when the loop ends (a failed program in -x).
void kiln_set_exit_status(int status);
// One pass of the host loop (update, draw, present, messages).
void kiln_main_pass();
// The per-pass messages plus the loop's tail: mouse and music fades (for
// code that waits inside a pass, such as kiln_readkey's callers).
void kiln_handle_messages();
// Milliseconds of the monotonic clock since kiln_run began.
int kiln_ms_since_start();
// Framework exit followed by the end of the process with this status.
[[noreturn]] void kiln_terminate(int status);
// "Unable to ..." errors: logged, framework exit, process ends with status 1.
[[noreturn]] void kiln_fatal(const char* message);

// Set before kiln_run to force headless (the -x option of the application).
void kiln_force_headless(bool on);

