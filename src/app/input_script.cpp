#include "app/input_script.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "runtime/pstate.h"

namespace {
struct input_player {
    orbo_input_script script;
    size_t next = 0;          // first change not yet in force
    orbo_button_mask held = 0;
};
input_player g_play;

struct input_recorder {
    FILE* file = nullptr;
    bool written = false;
    orbo_button_mask last = 0;
};
input_recorder g_rec;

int64_t g_frames = 0;  // console frames since the first program run

bool parse_frame(const std::string& word, int64_t* frame)
{
    if (word.empty() || word.size() > 18) return false;
    for (char ch : word)
        if (ch < '0' || ch > '9') return false;
    *frame = strtoll(word.c_str(), nullptr, 10);
    return true;
}

bool parse_button(const std::string& word, orbo_button_mask* held)
{
    if (word.size() != 3 || word[1] != ':') return false;
    int p = word[0] - '0', b = word[2] - '0';
    if (p < 0 || p >= ORBO_PLAYERS || b < 0 || b >= ORBO_PAD_BUTTONS) return false;
    *held |= orbo_button_bit(p, b);
    return true;
}

bool seed_comment(const std::string& comment, int64_t* seed)
{
    std::istringstream in(comment);
    std::string word, value, rest;
    if (!(in >> word >> value) || word != "seed" || (in >> rest)) return false;
    return parse_frame(value, seed) && *seed <= UINT32_MAX;
}

orbo_button_mask script_source()
{
    int64_t now = orbo_input_frame();
    const std::vector<orbo_input_change>& c = g_play.script.changes;
    while (g_play.next < c.size() && c[g_play.next].frame <= now) g_play.held = c[g_play.next++].held;
    return g_play.held;
}

void record(orbo_button_mask held)
{
    if (!g_rec.file || !pstate.program_flag) return;
    if (g_rec.written && held == g_rec.last) return;
    fprintf(g_rec.file, "%s\n", orbo_format_input_line(orbo_input_frame(), held).c_str());
    fflush(g_rec.file);  // a session that ends abruptly keeps what it played
    g_rec.written = true;
    g_rec.last = held;
}
}  // namespace

bool orbo_parse_input_script(const std::string& text, orbo_input_script* out, std::string* error)
{
    *out = orbo_input_script{};
    std::istringstream lines(text);
    std::string line;
    for (int n = 1; std::getline(lines, line); n++) {
        size_t hash = line.find('#');
        if (hash != std::string::npos) {
            int64_t seed;
            if (seed_comment(line.substr(hash + 1), &seed)) out->seed = seed;
            line.resize(hash);
        }
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        orbo_input_change change;
        if (!parse_frame(word, &change.frame)) {
            *error = "line " + std::to_string(n) + ": \"" + word + "\" is not a frame number";
            return false;
        }
        while (words >> word) {
            if (!parse_button(word, &change.held)) {
                *error = "line " + std::to_string(n) + ": \"" + word + "\" is not a button (P:B, 0-7 each)";
                return false;
            }
        }
        out->changes.push_back(change);
    }
    std::stable_sort(out->changes.begin(), out->changes.end(),
                     [](const orbo_input_change& a, const orbo_input_change& b) { return a.frame < b.frame; });
    return true;
}

std::string orbo_format_input_line(int64_t frame, orbo_button_mask held)
{
    std::string s = std::to_string(frame);
    for (int i = 0; i < ORBO_BUTTON_COUNT; i++)
        if ((held >> i) & 1)
            s += " " + std::to_string(i / ORBO_PAD_BUTTONS) + ":" + std::to_string(i % ORBO_PAD_BUTTONS);
    return s;
}

void orbo_play_input_script(const orbo_input_script& script)
{
    g_play = input_player{};
    g_play.script = script;
    g_frames = 0;
    orbo_button_config.script = script_source;
}

bool orbo_start_recording(const std::string& path, uint32_t seed)
{
    orbo_stop_recording();
    g_frames = 0;
    g_rec.file = fopen(path.c_str(), "w");
    if (!g_rec.file) return false;
    fprintf(g_rec.file, "# seed %" PRIu32 "\n", seed);
    fflush(g_rec.file);
    orbo_button_config.observe = record;
    return true;
}

void orbo_stop_recording()
{
    if (g_rec.file) fclose(g_rec.file);
    g_rec = input_recorder{};
    orbo_button_config.observe = nullptr;
}

void orbo_input_frame_done()
{
    if (pstate.program_flag) g_frames++;
}

int64_t orbo_input_frame() { return g_frames + 1; }
