// Platform settings: the record read from "config.txt", overridden by the
// command line, and written back at exit. The file keeps one setting per
// line (key, space, values); lines the platform does not know go to the
// application's read hook, and the application's section is appended by its
// write hook. Keys the command line may override are written from the copy
// taken as read from the file, so options never end up in the file.
#pragma once
#include <cstdio>
#include <string>

#include "platform/relaxed.h"

struct kiln_config {
    int window_w = 0, window_h = 0;
    int screen_w = 0, screen_h = 0;
    int windowed = 0;
    int window_x = -1, window_y = -1;
    int frameless = 0;
    int fullscreen_method = 1;
    int show_fps = 0;
    int foreground_sleep_ms = 5;
    int background_sleep_ms = 20;
    int sessions = 0;
    int rmb_key = 0;
    int emulate_textinput = 0;
    std::string desktop_path;
    kiln_relaxed<int> sound_volume = 256;  // read by the audio thread
    kiln_relaxed<int> music_volume = 256;  // read by the audio thread
    int mix_buffer_size = 1024;
    int pixel_perfect = -1;
    int preserve_aspect = 1;
    int draw_rect[4] = {0, 0, 0, 0};
    int software_blit = 0;
    int headless = 0;
    std::string home;
    int timeout = 30;
    int windib = 0, opengl_blit = 0, large_window = 0;  // legacy, ignored
    bool loaded = false;
};

extern kiln_config cconfig;       // live settings
extern kiln_config cconfig_file;  // as read from the file, before the command line

using kiln_load_config_func = void (*)(const char* line);
using kiln_save_config_func = void (*)(FILE* f);
void kiln_set_load_config_func(kiln_load_config_func hook);
void kiln_set_save_config_func(kiln_save_config_func hook);

void kiln_config_default();
// Parses one line of the file into cconfig (unknown lines to the read hook).
void kiln_config_parse_line(const char* line);
// Reads every line of a text (lines end at "\n" or "\r"; cut at 254 chars),
// then clamps. Used by kiln_config_load and tests.
void kiln_config_parse_text(const std::string& text);
// Reads "config.txt" in the root folder, else beside the executable; keeps the
// defaults when neither exists. Returns true when a file was read.
bool kiln_config_load();
// The whole file text as written at exit (application section included).
std::string kiln_config_text();
// Writes "config.txt" in the root folder through a temporary file and a
// rename, so a crash never leaves a half-written file. Silent on failure.
void kiln_config_save();

// Copy of text without leading and trailing bytes at or below the space
// (bytes of 128 and above count as blank too).
std::string kiln_trim(const std::string& text);

// Platform options of the command line (they override the file).
void kiln_process_arguments(int argc, char** argv);
// One line per platform option (name, value form, meaning) for the usage text.
void kiln_print_option_usage(FILE* f);
// Walks argv the way both option parsers do: skips the program name, stops
// at an argument beginning with "|", "&" or ">". For each argument beginning
// with "-", calls opt(name, value or nullptr, &consumed): the callee sets
// consumed to false when the option takes no value. Other arguments go to
// positional (when given).
template <typename Opt, typename Pos>
void kiln_walk_arguments(int argc, char** argv, Opt opt, Pos positional);
#include "platform/args_walk.inl"
