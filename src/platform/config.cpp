// Platform settings file: reading, clamping, writing.
#include "platform/config.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/kiln.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/video.h"

kiln_config cconfig;
kiln_config cconfig_file;

namespace {
kiln_load_config_func g_load_hook = nullptr;
kiln_save_config_func g_save_hook = nullptr;

constexpr size_t MAX_LINE = 254;

bool starts_with(const char* s, const char* key) { return strncmp(s, key, strlen(key)) == 0; }

// The keys read with one "%d", in the order they are matched.
struct int_key {
    const char* key;
    int kiln_config::*field;
};
const int_key first_int_keys[] = {
    {"windowed", &kiln_config::windowed},
    {"foreground_sleep_ms", &kiln_config::foreground_sleep_ms},
    {"background_sleep_ms", &kiln_config::background_sleep_ms},
};
const int_key second_int_keys[] = {
    {"mix_buffer_size", &kiln_config::mix_buffer_size},
    {"windib", &kiln_config::windib},
    {"opengl_blit", &kiln_config::opengl_blit},
    {"show_fps", &kiln_config::show_fps},
    {"large_window", &kiln_config::large_window},
    {"frameless", &kiln_config::frameless},
};

bool read_int(const char* rest, int* out)
{
    int v;
    if (sscanf(rest, "%d", &v) != 1) return false;
    *out = v;
    return true;
}

bool read_pair(const char* rest, int* a, int* b)
{
    int x, y;
    int n = sscanf(rest, " %d %d", &x, &y);
    if (n >= 1) *a = x;
    if (n >= 2) *b = y;
    return n >= 1;
}

bool match_int(const char* line, const int_key* keys, size_t n)
{
    for (size_t i = 0; i < n; i++) {
        if (starts_with(line, keys[i].key)) {
            read_int(line + strlen(keys[i].key), &(cconfig.*(keys[i].field)));
            return true;
        }
    }
    return false;
}

void match_volume(const char* rest, kiln_relaxed<int>& vol)
{
    int v;
    if (read_int(rest, &v)) vol = v;
}

int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

void clamp_config(kiln_config& c)
{
    c.foreground_sleep_ms = clamp(c.foreground_sleep_ms, 0, 200);
    c.background_sleep_ms = clamp(c.background_sleep_ms, 0, 200);
    c.sound_volume = clamp(c.sound_volume, 0, 256);
    c.music_volume = clamp(c.music_volume, 0, 256);
    if (c.mix_buffer_size < 512 || c.mix_buffer_size > 8192) c.mix_buffer_size = 1024;
}
}  // namespace

void kiln_set_load_config_func(kiln_load_config_func hook) { g_load_hook = hook; }
void kiln_set_save_config_func(kiln_save_config_func hook) { g_save_hook = hook; }

void kiln_config_default()
{
    cconfig = kiln_config{};
    cconfig_file = cconfig;
}

std::string kiln_trim(const std::string& text)
{
    auto blank = [](char c) { return (unsigned char)c <= ' ' || (unsigned char)c >= 128; };
    size_t a = 0, b = text.size();
    while (a < b && blank(text[a])) a++;
    while (b > a && blank(text[b - 1])) b--;
    return text.substr(a, b - a);
}

void kiln_config_parse_line(const char* line)
{
    kiln_config& c = cconfig;
    if (starts_with(line, "video_mode")) {
        int w = c.window_w, h = c.window_h;
        if (read_pair(line + 10, &w, &h)) {
            c.window_w = c.screen_w = w;
            c.window_h = c.screen_h = h;
        }
    } else if (starts_with(line, "window_size")) {
        read_pair(line + 11, &c.window_w, &c.window_h);
    } else if (starts_with(line, "screen_size")) {
        read_pair(line + 11, &c.screen_w, &c.screen_h);
    } else if (match_int(line, first_int_keys, 3)) {
    } else if (starts_with(line, "sound_volume")) {
        match_volume(line + 12, c.sound_volume);
    } else if (starts_with(line, "music_volume")) {
        match_volume(line + 12, c.music_volume);
    } else if (match_int(line, second_int_keys, 6)) {
    } else if (starts_with(line, "window_position")) {
        read_pair(line + 15, &c.window_x, &c.window_y);
        kiln_debug("new window position: %d, %d\n", c.window_x, c.window_y);
    } else if (starts_with(line, "sessions")) {
        read_int(line + 8, &c.sessions);
    } else if (starts_with(line, "rmb_key")) {
        read_int(line + 7, &c.rmb_key);
    } else if (starts_with(line, "desktop_path")) {
        const char* rest = strlen(line) >= 13 ? line + 13 : "";
        c.desktop_path = kiln_trim(rest).substr(0, 1024);
    } else if (starts_with(line, "fullscreen_method")) {
        read_int(line + 17, &c.fullscreen_method);
    } else if (starts_with(line, "emulate_textinput")) {
        read_int(line + 17, &c.emulate_textinput);
    } else if (g_load_hook) {
        g_load_hook(line);
    }
}

void kiln_config_parse_text(const std::string& text)
{
    kiln_debug("Found config.txt\n");
    kiln_debug(">\n");
    std::string line;
    bool cut = false;
    auto flush = [&]() {
        kiln_config_parse_line(line.c_str());
        line.clear();
        cut = false;
    };
    for (size_t i = 0; i < text.size(); i++) {
        char ch = text[i];
        if (ch == '\n' || ch == '\r') {
            flush();
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') i++;
            continue;
        }
        if (ch == 0) ch = ' ';  // a NUL would end the line early for the parsers
        if (line.size() < MAX_LINE) line += ch;
        else cut = true;  // the rest of an over-long line is dropped
    }
    if (!line.empty() || cut) flush();
    kiln_debug("<\n");
    clamp_config(cconfig);
    cconfig.loaded = true;
}

bool kiln_config_load()
{
    std::string paths[2] = {kiln_prefix_with_appdata_path("config.txt"),
                            kiln_prefix_with_exe_path("config.txt")};
    for (const std::string& p : paths) {
        FILE* f = fopen(p.c_str(), "rb");
        if (!f) continue;
        std::string text;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
        fclose(f);
        kiln_config_parse_text(text);
        return true;
    }
    cconfig.loaded = true;
    return false;
}

namespace {
const char* DASHES = "// - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n";

void write_config(FILE* f)
{
    const kiln_config& live = cconfig;
    const kiln_config& copy = cconfig_file;
    fputs(DASHES, f);
    fprintf(f, "// Configuration for %s\n// \n", kiln_state.app_title);
    fputs("// config.txt is read on startup and saved on exit.\n", f);
    fputs("// To generate the default config.txt, delete this file.\n// \n", f);
    fputs(DASHES, f);

    fputs("\n\n// :: Video Settings\n\n", f);
    fprintf(f, "window_size %d %d // window width, height\n", copy.window_w, copy.window_h);
    fprintf(f, "screen_size %d %d // screen width, height (stretched to window) \n", copy.screen_w,
            copy.screen_h);
    fprintf(f, "show_fps %d // Draw frames per second in the corner\n", copy.show_fps);

    fputs("\n\n// :: Window Settings\n\n", f);
    fprintf(f, "windowed %d // 1 to start up in windowed mode\n", kiln_screen_mode == 0 ? 1 : 0);
    fprintf(f,
            "window_position %d %d // x and y position of window, or -1, -1 to let the window "
            "manager decide\n",
            live.window_x, live.window_y);
    fprintf(f, "frameless %d // 1 to use a window with no frame\n", copy.frameless);
    fprintf(f,
            "fullscreen_method %d // 0 maximized window (linux)  1 borderless desktop-sized window  "
            "2 fullscreen\n",
            live.fullscreen_method);

    fputs("\n\n// :: System Settings\n\n", f);
    fprintf(f,
            "foreground_sleep_ms %d // number of milliseconds to sleep each frame. Try 10 to "
            "conserve battery power\n\n",
            copy.foreground_sleep_ms);
    fprintf(f,
            "background_sleep_ms %d // number of milliseconds to sleep each frame when running in "
            "the background\n\n",
            copy.background_sleep_ms);
    fprintf(f, "sessions %d // number of times program has been run\n\n", live.sessions);
    fputs("// (scancode) hold this key down and left-click to simulate right-click\n", f);
    fprintf(f, "rmb_key %d // 0 for none  226 for LALT\n\n", copy.rmb_key);
    fputs("// 0:off  1: ignore SDL_TEXTINPUT and use SDL_GetKeyboardState instead (mapped to a US "
          "layout)\n",
          f);
    fprintf(f, "emulate_textinput %d \n\n", copy.emulate_textinput);
    fputs("// Desktop for saving screenshots etc. Defaults to $HOME/Desktop\n", f);
    fprintf(f, "desktop_path %s\n\n", copy.desktop_path.c_str());

    fputs("\n\n// :: Audio Settings\n\n", f);
    fprintf(f, "sound_volume %d // 0..256\n", int(live.sound_volume));
    fprintf(f, "music_volume %d // 0..256\n", int(live.music_volume));
    fprintf(f, "mix_buffer_size %d // usually 1024. Try 2048 if you get choppy sound\n",
            live.mix_buffer_size);

    fputs("\n\n// :: \n\n", f);
    if (g_save_hook) g_save_hook(f);
}
}  // namespace

std::string kiln_config_text()
{
    char* buf = nullptr;
    size_t len = 0;
    FILE* f = open_memstream(&buf, &len);
    if (!f) return "";
    write_config(f);
    fclose(f);
    std::string s(buf, len);
    free(buf);
    return s;
}

void kiln_config_save()
{
    std::string path = kiln_prefix_with_appdata_path("config.txt");
    std::string tmp = path + ".tmp";
    FILE* f = fopen(tmp.c_str(), "wb");
    if (!f) return;
    write_config(f);
    bool ok = fflush(f) == 0 && fsync(fileno(f)) == 0;
    ok = fclose(f) == 0 && ok;
    if (!ok || rename(tmp.c_str(), path.c_str()) != 0) unlink(tmp.c_str());
}
