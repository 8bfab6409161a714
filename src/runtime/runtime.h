// The program runtime's own state: the script machine, the program text as
// compiled, the error string and assertion message, and the scheduler's
// frame-rate bookkeeping. The flags the shell shares (app_mode,
// pending_action, hold, mainloop kind...) live in pstate.
#pragma once
#include <cstdint>
#include <string>

struct lua_State;
struct orbo_machine;

constexpr int ORBO_CHAR_LIMIT = 65536;
constexpr int ORBO_TOKEN_LIMIT = 8192;
constexpr size_t ORBO_CODE_BUFFER = 0x14000;  // text given to the compiler
constexpr size_t ORBO_PRE_BUFFER = 0x20000;   // preprocessed program
constexpr int ORBO_FPS_HISTORY = 30;
constexpr int64_t ORBO_SCRIPT_MEMORY = 0x200000;

struct orbo_runtime {
    lua_State* L = nullptr;       // the script machine (replaced whole)
    lua_State* program = nullptr; // the program's coroutine, anchored as "_ob_program"
    std::string code;             // the joined tabs of the last run (error reports)
    std::string cart_id;          // from a file under "bbs/"
    std::string cart_location;    // the file's place under the cartridge root
    std::string error_string;     // set by orbo_runtime_error, at most 511 bytes
    std::string assert_message;   // at most 254 bytes
    bool failed = false;          // this run ended or never started on an error
    int32_t saved_camera_x = 0, saved_camera_y = 0;
    int32_t saved_clip[4] = {0, 0, 128, 128};
    int32_t program_frames = 0;   // frames the program ended with flip
    int64_t slices = 0;           // resumptions since start
    // scheduler
    int32_t mark_cycles[3] = {};
    uint32_t mark_ms[3] = {};
    int fps_history[ORBO_FPS_HISTORY] = {};
    int32_t load_prev = 0, load_cur = 0;
    uint32_t last_drop_ms = 0;
    bool dropped_once = false;
    uint32_t last_reset_ms = 0;
};

orbo_runtime& orbo_rt();

// Start-up: fills the hardware's runtime hooks (CPU charges to the engine,
// the error entry, the program state), the assertion hook, and hands the
// runtime's bindings to the registry. Idempotent.
void orbo_runtime_init();
// Milliseconds of the host clock.
uint32_t orbo_now_ms();
