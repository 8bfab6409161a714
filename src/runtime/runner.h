// The program runner: the working cartridge's code, wrapped in the fixed
// header and footer, compiled into a fresh script machine and started as
// the coroutine the frame scheduler resumes. Also stopping and continuing
// programs and the draw-state reset every run starts with.
#pragma once
#include <string>

// Runs the working cartridge (the handler of a run request).
void run_cart();
// Compiles and starts code; false when nothing started (size limits,
// compile error; the reason is printed).
bool run_program(const std::string& code);
// The text given to the compiler for code (header, preprocessed code or a
// short command, footer). Exposed for tests.
std::string orbo_build_program_text(const std::string& code, const std::string& cart_id);

void reset_runtime_state();
// The pending action (run, stop, stop after an error) and its clearing; in
// exec mode the player quits once no program runs.
void dispatch_pending_action();
// Stops the program unless a reset glitch is running.
void suspend_program();
void continue_program();

// The cartridge id of a file name: the longest run of a-z 0-9 - _ ending
// just before ".ob"; empty without ".ob" or with ".ob" at the start.
std::string get_lid_from_filename(const std::string& name);
// Sets the runtime's cartridge id and location from a file name.
void orbo_classify_cart_file(const std::string& filename);
// Makes the console's live cartridge record a fresh copy of the working
// cartridge (before its ROM is reloaded into console memory).
void orbo_refresh_live_cart();
