// orbotool run CART [--frames N] [--screenshot OUT.png] [--gif OUT.gif] [--wav OUT.wav]
// [--param TEXT] [--input FILE] [--seed N]: runs a cartridge headless
// through the player's own loop,
// as -x does, but with every host pass one console frame (no pacing). --gif
// writes every frame shown, through the player's own GIF writer; --wav the
// sound of the frames run, through the player's own mixer. Prints the console
// lines -x prints, then "frames: N" (console frames run) and "cpu: X", the
// mean CPU load per console frame of the program as a fraction of the
// frame's budget (a 16.16 value printed as the console prints numbers).
// --input holds buttons frame by frame (the format of a recording, which
// also names its seed); --seed seeds every run's random generator. Each
// printh writes "printh: TEXT" to standard output.
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/input_script.h"
#include "app/shell.h"
#include "app/state.h"
#include "commands.h"
#include "run_outputs.h"
#include "engine/math/fixed.h"
#include "hardware/host_log.h"
#include "platform/kiln.h"
#include "platform/log.h"
#include "runtime/scheduler.h"

kiln_host* kiln_headless_host();

namespace {
int usage()
{
    orbotool_usage("run", stderr);
    return 2;
}

void print_printh(const char* text)
{
    printf("printh: %s\n", text);
    fflush(stdout);
}

bool read_text(const char* path, std::string* out)
{
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
    fclose(f);
    return true;
}

// Loads --input into the buttons' scripted source; the seed it names
// unless --seed gave one. False (exit status 2) when it cannot be used.
bool load_input(const char* path, std::string* seed)
{
    std::string text, error;
    if (!read_text(path, &text)) {
        fprintf(stderr, "orbotool: cannot read %s\n", path);
        return false;
    }
    orbo_input_script script;
    if (!orbo_parse_input_script(text, &script, &error)) {
        fprintf(stderr, "orbotool: %s: %s\n", path, error.c_str());
        return false;
    }
    if (seed->empty() && script.seed >= 0) *seed = std::to_string(script.seed);
    orbo_play_input_script(script);
    return true;
}

bool valid_seed(const char* s)
{
    if (!*s || strlen(s) > 10) return false;
    for (const char* p = s; *p; p++)
        if (*p < '0' || *p > '9') return false;
    return strtoull(s, nullptr, 10) <= 0xffffffffull;
}

}  // namespace

int cmd_run(int argc, char** argv)
{
    const char* cart = nullptr;
    const char* screenshot = nullptr;
    const char* param = nullptr;
    const char* gif = nullptr;
    const char* wav = nullptr;
    const char* input = nullptr;
    std::string seed;
    long long frames = 0;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "--frames") == 0 && i + 1 < argc) frames = atoll(argv[++i]);
        else if (strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) screenshot = argv[++i];
        else if (strcmp(argv[i], "--param") == 0 && i + 1 < argc) param = argv[++i];
        else if (strcmp(argv[i], "--gif") == 0 && i + 1 < argc) gif = argv[++i];
        else if (strcmp(argv[i], "--wav") == 0 && i + 1 < argc) wav = argv[++i];
        else if (strcmp(argv[i], "--input") == 0 && i + 1 < argc) input = argv[++i];
        else if (strcmp(argv[i], "--seed") == 0 && i + 1 < argc && valid_seed(argv[i + 1])) seed = argv[++i];
        else if (!cart && argv[i][0] != '-') cart = argv[i];
        else return usage();
    }
    if (!cart) return usage();
    if (input && !load_input(input, &seed)) return 2;
    orbo_printh_sink = print_printh;

    kiln_log_set_stdout(false);  // the log stays in log.txt; stdout has the console lines
    std::vector<std::string> args = {"orbo", "-x", cart, "-foreground_sleep_ms", "0", "-background_sleep_ms", "0"};
    if (param) args.insert(args.end(), {"-p", param});
    if (!seed.empty()) args.insert(args.end(), {"-seed", seed});
    std::vector<char*> av;
    for (std::string& a : args) av.push_back(a.data());
    av.push_back(nullptr);
    orbo_shell.unpaced = true;
    orbo_shell.frame_limit = frames;
    run_outputs_start(gif != nullptr, wav != nullptr);
    kiln_force_headless(true);
    kiln_run(kiln_headless_host(), orbo_shell_app, int(args.size()), av.data());

    char cpu[32];
    orbo_fixed_to_string(cpu, orbo_mean_cpu_load());
    printf("frames: %lld\n", (long long)orbo_shell.frames_run);
    printf("cpu: %s\n", cpu);
    for (const char* path : {screenshot, gif, wav}) {
        if (!path) continue;
        bool ok = path == screenshot ? write_screenshot(path) : path == gif ? write_gif(path) : write_wav(path);
        if (!ok) {
            fprintf(stderr, "orbotool: cannot write %s\n", path);
            return 1;
        }
    }
    return 0;
}
