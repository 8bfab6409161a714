// Boot mode. boot_init sets frame_count to -15, so step s = frame_count - 10
// first reaches 1 on the 26th console frame; each step runs exactly once.
#include "app/boot.h"

#include <ctime>
#include <cstring>

#include "hardware/console.h"
#include "app/wiring.h"
#include "app/state.h"
#include "runtime/pstate.h"
#include "hardware/machine.h"
#include "hardware/sound_link.h"
#include "runtime/lua_machine.h"
#include "runtime/run_chain.h"
#include "runtime/runner.h"
#include "platform/kiln.h"
#include "platform/keys.h"
#include "platform/log.h"

namespace {
uint32_t g_noise = 1;

// The boot noise generator (visual only), seeded at boot_init.
int noise(int n)
{
    g_noise ^= g_noise << 13;
    g_noise ^= g_noise >> 17;
    g_noise ^= g_noise << 5;
    return int(g_noise % uint32_t(n));
}

void pset(int x, int y, int c)
{
    if (x >= 0 && x < 128 && y >= 0 && y < 128) orbo_console_screen()->row(y)[x] = uint8_t(c);
}

int pget(int x, int y)
{
    if (x >= 0 && x < 128 && y >= 0 && y < 128) return orbo_console_screen()->row(y)[x];
    return 0;
}

// The boot logo: the top-left 40x10 of resource item 2, pixel 0 transparent.
void draw_logo()
{
    const kiln_bitmap* logo = kiln_pod_bitmap(shell.resources.get(), 2);
    if (!logo || logo->depth != 8) return;
    for (int y = 0; y < 10 && y < logo->h; y++)
        for (int x = 0; x < 40 && x < logo->w; x++) {
            uint8_t p = logo->row(y)[x];
            if (p) pset(1 + x, 1 + y, p);
        }
}

void boot_head_cart()
{
    reset_run_chain();
    orbo_mount_embedded_carts(nullptr);
    const kiln_file* head = kiln_pod_file(shell.data.get(), 3);
    if (!head || !orbo_boot_head_cart(head->bytes.data(), head->bytes.size())) {
        orbo_print_col("head cart not found", orbo_live_machine()->pen);
        kiln_debug("boot: head cart not found\n");
        return;
    }
    orbo_mount_embedded_carts(shell.data.get());
    kiln_debug("boot: head cart loaded\n");
    // -run with a cartridge named on the command line runs it after boot.
    if (app.run_requested && !app.auto_load_fn.empty() && !orbo_load_working_cart(app.auto_load_fn))
        orbo_print_col(("could not load " + app.auto_load_fn).c_str(), 6);
    pstate.app_mode = MODE_CONSOLE;
    pstate.pending_action = ACTION_RUN;
}
}  // namespace

void boot_init()
{
    pstate.app_mode = MODE_BOOT;
    pstate.frame_count = -15;
    reset_lua_machine();
    reset_runtime_state();
    orbo_print("");
    orbo_live_machine()->pen = 7;
    orbo_console_clear(0);
    if (shell.display) std::fill(shell.display->pixels.begin(), shell.display->pixels.end(), 0);
    orbo_mark_cart_graphics();
    g_noise = uint32_t(kiln_host_get()->ticks()) + uint32_t(time(nullptr));
    if (g_noise == 0) g_noise = 1;
    orbo_stop_all_sound();
    kiln_clear_keys();
}

void move_boot()
{
    int s = pstate.frame_count - 10;
    switch (s) {
    case 1:
        for (int y = 0; y < 128; y++)
            for (int x = 2; x < 128; x += 8) pset(x, y, noise(4) + y / 32);
        break;
    case 4:
        for (int y = 0; y < 128; y += 2)
            for (int i = 0, x = 0; x < 128; x += 4, i++) pset(x, y, ((y + 4 * i) / 8) % 8 + 6);
        break;
    case 7:
        for (int y = 0; y < 128; y += 3)
            for (int x = 2; x < 128; x += 4) pset(x, y, noise(4) + 10);
        break;
    case 9:
        for (int y = 0; y < 128; y++)
            for (int x = 1; x <= 125; x += 2) pset(x, y, pget(x + 1, y));
        break;
    case 12:
        for (int y = 0; y < 128; y++)
            if (y % 4) orbo_console_rectfill(0, y, 127, y, 0);
        break;
    case 15: orbo_console_clear(0); break;
    case 30:
        orbo_console_clear(0);
        orbo_play_boot_chime();
        orbo_print("");
        orbo_print("");
        draw_logo();
        orbo_live_machine()->pen = 6;
        break;
    case 35:
        orbo_print_col(ORBO_VERSION_TEXT, orbo_live_machine()->pen);
        draw_logo();
        break;
    case 40:
        orbo_print_col(ORBO_BOOT_NOTICE, 13);
        orbo_live_machine()->pen = 6;
        orbo_print_col("", 6);
        orbo_print_col("booting cartridge..", 6);
        orbo_print_col("", 6);
        break;
    case ORBO_BOOT_LAST_STEP: boot_head_cart(); break;
    default: break;
    }
}
