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

// The platform's keys of config.txt, in the order they are written. A line
// is taken by the key it starts with; no key is a prefix of another, so the
// order plays no part in reading. A value that does not parse leaves its
// field unchanged.
enum class key_kind {
    INT,         // "%d"
    PAIR,        // " %d %d"; one value read sets the first field only
    POSITION,    // a pair, logged when read
    VOLUME,      // "%d" into a field the audio thread reads
    PATH,        // the rest after "key ", trimmed, up to 1024 characters
    VIDEO_MODE,  // " %d %d" sets both the window size and the screen size
};
// Where the written value comes from: the live settings, the copy taken as
// read from the file (keys the command line overrides, so options never
// reach the file), the window state at exit, or nowhere (read only).
enum class written { LIVE, FILE, WINDOW, NO };

struct platform_key {
    const char* key;
    key_kind kind;
    written from;
    const char* before;  // section header and comment written before the line
    const char* after;   // the rest of the line after the value
    int kiln_config::*a = nullptr;  // INT and the first of a pair
    int kiln_config::*b = nullptr;  // the second of a pair
    kiln_relaxed<int> kiln_config::*volume = nullptr;
    std::string kiln_config::*path = nullptr;
};

using K = kiln_config;
constexpr const char* VIDEO_HEAD = "\n\n// :: Video Settings\n\n";
constexpr const char* WINDOW_HEAD = "\n\n// :: Window Settings\n\n";
constexpr const char* SYSTEM_HEAD = "\n\n// :: System Settings\n\n";
constexpr const char* AUDIO_HEAD = "\n\n// :: Audio Settings\n\n";
const platform_key k_platform_keys[] = {
    {"window_size", key_kind::PAIR, written::FILE, VIDEO_HEAD, " // window width, height\n", &K::window_w, &K::window_h},
    {"screen_size", key_kind::PAIR, written::FILE, "", " // screen width, height (stretched to window) \n",
     &K::screen_w, &K::screen_h},
    {"show_fps", key_kind::INT, written::FILE, "", " // Draw frames per second in the corner\n", &K::show_fps},
    {"windowed", key_kind::INT, written::WINDOW, WINDOW_HEAD, " // 1 to start up in windowed mode\n", &K::windowed},
    {"window_position", key_kind::POSITION, written::LIVE, "",
     " // x and y position of window, or -1, -1 to let the window manager decide\n", &K::window_x, &K::window_y},
    {"frameless", key_kind::INT, written::FILE, "", " // 1 to use a window with no frame\n", &K::frameless},
    {"fullscreen_method", key_kind::INT, written::LIVE, "",
     " // 0 maximized window (linux)  1 borderless desktop-sized window  2 fullscreen\n", &K::fullscreen_method},
    {"foreground_sleep_ms", key_kind::INT, written::FILE, SYSTEM_HEAD,
     " // number of milliseconds to sleep each frame. Try 10 to conserve battery power\n\n",
     &K::foreground_sleep_ms},
    {"background_sleep_ms", key_kind::INT, written::FILE, "",
     " // number of milliseconds to sleep each frame when running in the background\n\n", &K::background_sleep_ms},
    {"sessions", key_kind::INT, written::LIVE, "", " // number of times program has been run\n\n", &K::sessions},
    {"rmb_key", key_kind::INT, written::FILE,
     "// (scancode) hold this key down and left-click to simulate right-click\n", " // 0 for none  226 for LALT\n\n",
     &K::rmb_key},
    {"emulate_textinput", key_kind::INT, written::FILE,
     "// 0:off  1: ignore SDL_TEXTINPUT and use SDL_GetKeyboardState instead (mapped to a US layout)\n", " \n\n",
     &K::emulate_textinput},
    {"desktop_path", key_kind::PATH, written::FILE,
     "// Desktop for saving screenshots etc. Defaults to $HOME/Desktop\n", "\n\n", nullptr, nullptr, nullptr,
     &K::desktop_path},
    {"sound_volume", key_kind::VOLUME, written::LIVE, AUDIO_HEAD, " // 0..256\n", nullptr, nullptr, &K::sound_volume},
    {"music_volume", key_kind::VOLUME, written::LIVE, "", " // 0..256\n", nullptr, nullptr, &K::music_volume},
    {"mix_buffer_size", key_kind::INT, written::LIVE, "", " // usually 1024. Try 2048 if you get choppy sound\n",
     &K::mix_buffer_size},
    // Read only: an older form of the sizes, and legacy keys kept but unused.
    {"video_mode", key_kind::VIDEO_MODE, written::NO, "", ""},
    {"windib", key_kind::INT, written::NO, "", "", &K::windib},
    {"opengl_blit", key_kind::INT, written::NO, "", "", &K::opengl_blit},
    {"large_window", key_kind::INT, written::NO, "", "", &K::large_window},
};

void read_key(const platform_key& k, const char* line, kiln_config& c)
{
    const size_t n = strlen(k.key);
    const char* rest = line + n;
    switch (k.kind) {
    case key_kind::INT: read_int(rest, &(c.*k.a)); break;
    case key_kind::PAIR: read_pair(rest, &(c.*k.a), &(c.*k.b)); break;
    case key_kind::POSITION:
        read_pair(rest, &(c.*k.a), &(c.*k.b));
        kiln_debug("new window position: %d, %d\n", c.*k.a, c.*k.b);
        break;
    case key_kind::VOLUME: {
        int v;
        if (read_int(rest, &v)) c.*k.volume = v;
        break;
    }
    case key_kind::PATH: c.*k.path = kiln_trim(strlen(line) > n ? rest + 1 : "").substr(0, 1024); break;
    case key_kind::VIDEO_MODE: {
        int w = c.window_w, h = c.window_h;
        if (read_pair(rest, &w, &h)) {
            c.window_w = c.screen_w = w;
            c.window_h = c.screen_h = h;
        }
        break;
    }
    }
}

void write_key(FILE* f, const platform_key& k)
{
    const kiln_config& c = k.from == written::LIVE ? cconfig : cconfig_file;
    fputs(k.before, f);
    fprintf(f, "%s ", k.key);
    switch (k.kind) {
    case key_kind::INT: fprintf(f, "%d", k.from == written::WINDOW ? int(kiln_screen_mode == 0) : c.*k.a); break;
    case key_kind::PAIR:
    case key_kind::POSITION: fprintf(f, "%d %d", c.*k.a, c.*k.b); break;
    case key_kind::VOLUME: fprintf(f, "%d", int(c.*k.volume)); break;
    case key_kind::PATH: fputs((c.*k.path).c_str(), f); break;
    case key_kind::VIDEO_MODE: break;
    }
    fputs(k.after, f);
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
    for (const platform_key& k : k_platform_keys) {
        if (starts_with(line, k.key)) {
            read_key(k, line, cconfig);
            return;
        }
    }
    if (g_load_hook) g_load_hook(line);
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
    fputs(DASHES, f);
    fprintf(f, "// Configuration for %s\n// \n", kiln_state.app_title);
    fputs("// config.txt is read on startup and saved on exit.\n", f);
    fputs("// To generate the default config.txt, delete this file.\n// \n", f);
    fputs(DASHES, f);
    for (const platform_key& k : k_platform_keys)
        if (k.from != written::NO) write_key(f, k);
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
