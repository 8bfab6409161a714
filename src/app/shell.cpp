// The application side of the framework: start-up, the per-pass update and
// draw, and the exit hook.
#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/boot.h"
#include "hardware/console.h"
#include "app/capture.h"
#include "app/display.h"
#include "app/input_script.h"
#include "app/message_bar.h"
#include "app/wiring.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/state.h"
#include "runtime/pause_state.h"
#include "runtime/pstate.h"
#include "cart/cart_palette.h"
#include "cart/cart_png.h"
#include "cart/working_cart.h"
#include "engine/lua/cpu.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/keys.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "hardware/cdata.h"
#include "hardware/machine.h"
#include "hardware/input_link.h"
#include "hardware/runtime_link.h"
#include "runtime/lua_machine.h"
#include "runtime/run_chain.h"
#include "runtime/runner.h"
#include "runtime/runtime.h"
#include "runtime/scheduler.h"

namespace {
const char* const root_folders[] = {"carts/",  "backup/", "cdata/",      "cstore/",
                                    "plates/", "bbs/",    "bbs/carts/", "bbs/labels/"};

std::string folder_or(const std::string& configured, const char* fallback)
{
    if (!configured.empty() && kiln_folder_lists(configured)) {
        std::string p = configured;
        if (p.back() != '/') p += '/';
        return p;
    }
    return kiln_prefix_with_appdata_path(fallback);
}

kiln_pod_ptr nested_pod(const kiln_pod* pod, int item)
{
    const kiln_file* f = kiln_pod_file(pod, item);
    if (!f || f->bytes.empty()) return nullptr;
    return kiln_load_pod_memory(f->bytes.data(), f->bytes.size());
}

int nearest_colour(uint8_t r, uint8_t g, uint8_t b)
{
    int best = 0, best_d = 1 << 30;
    for (int i = 0; i < 256; i++) {
        const uint8_t* p = kiln_display_palette.rgb + i * 3;
        int d = (p[0] - r) * (p[0] - r) + (p[1] - g) * (p[1] - g) + (p[2] - b) * (p[2] - b);
        if (d < best_d) best = i, best_d = d;
    }
    return best;
}

void set_title_from_resources()
{
    kiln_set_window_title("ORBO");
    const kiln_file* t = kiln_pod_file(shell.resources.get(), 4);
    if (!t) return;
    std::string title(t->bytes.begin(), t->bytes.end());
    title = title.substr(0, title.find('\0'));
    title = kiln_trim(title);
    if (!title.empty()) kiln_set_window_title(title.c_str());
}

void load_data_file()
{
    std::string path = kiln_prefix_with_exe_path("data.pod");
    shell.data = kiln_load_pod(path.c_str());
    if (!shell.data) {
        printf("couldn't load %s\n", path.c_str());
        fflush(stdout);
        kiln_terminate(1);
    }
    if (const kiln_file* boot = kiln_pod_file(shell.data.get(), 0))
        orbo_keep_boot_cart(boot->bytes.data(), boot->bytes.size());
    shell.resources = nested_pod(shell.data.get(), 1);
    shell.font = nested_pod(shell.data.get(), 2);
    orbo_set_console_font(shell.font ? kiln_load_font(shell.font.get()) : nullptr);
    // PNG cartridges are drawn with the same font and the 16 console colours.
    orbo_cart_set_font(orbo_console_font());
    if (const kiln_palette* pal = kiln_pod_palette(shell.resources.get(), 1)) orbo_cart_set_palette(pal->rgb);
}

void start_exec_mode()
{
    const std::string& fn = app.auto_load_fn;
    // Boot does not run in exec mode, so the embedded cartridges a program
    // may load are mounted here.
    orbo_mount_embedded_carts(shell.data.get());
    if (fn.empty() || !orbo_load_working_cart(fn)) {
        printf("could not load %s\n", fn.c_str());
        fflush(stdout);
        kiln_terminate(1);
    }
    app.cart_loaded = true;
    pstate.app_mode = MODE_CONSOLE;
    pstate.pending_action = ACTION_RUN;
}

}  // namespace

namespace {
// Every console frame, paused ones included, counts toward the tools' limit.
void count_console_frame()
{
    orbo_input_frame_done();
    orbo_shell.frames_run++;
    if (orbo_shell.frame_limit > 0 && orbo_shell.frames_run >= orbo_shell.frame_limit) kiln_quit = true;
}

// A console frame: the running program's or the mode's step.
void run_console_frame()
{
    if (pstate.app_mode == MODE_RUNNING) {
        orbo_program_frame();
    } else {
        orbo_shell_drive_buttons();
        if (pstate.overlay_screen == 1) orbo_keyconfig_update();
        pstate.hold_frames = 0;
    }
    if (pstate.app_mode == MODE_BOOT) move_boot();
    else if (pstate.app_mode == MODE_SPLASH) {
        if (kiln_get_any_key_down() || orbo_any_button_held()) boot_init();
    }
    orbo_update_reset_glitch();
    orbo_frame_clock_done(app.frame_accumulator);
    pstate.frame_count++;
    app.held_frame_counter++;
    app.frame_parity = !app.frame_parity;
    if (!(orbo_cpu.fps == 60 && !app.frame_parity)) orbo_record_video_frame();
}
}  // namespace

bool orbo_load_splash(const std::string& path)
{
    unsigned char* rgba = nullptr;
    unsigned w = 0, h = 0;
    if (lodepng_decode32_file(&rgba, &w, &h, path.c_str()) != 0 || !rgba) {
        free(rgba);
        return false;
    }
    app.splash = kiln_create_bitmap(int(w), int(h), 8);
    if (app.splash) {
        for (size_t i = 0; i < size_t(w) * h; i++)
            app.splash->pixels[i] =
                uint8_t(nearest_colour(rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]));
    }
    free(rgba);
    return app.splash != nullptr;
}

orbo_shell_options orbo_shell;

void orbo_main_init()
{
    orbo_shell.frames_run = 0;
    orbo_reset_records();
    orbo_runtime_init();
    set_default_app_config();
    kiln_set_app_title("orbo");
    kiln_set_load_config_func(orbo_load_config);
    kiln_set_save_config_func(orbo_save_config);

    kiln_init(kiln_argc(), kiln_argv());
    process_arguments(kiln_argc(), kiln_argv());
    pstate.pending_param = app.run_parameter;
    pstate.host_framerate_control = app.host_framerate_control;  // the scheduler's copy of the setting
    for (const char* f : root_folders) kiln_make_folder(kiln_prefix_with_appdata_path(f));

    if (cconfig.screen_w < 32 || cconfig.screen_h < 32) {
        cconfig.screen_w = 580;
        cconfig.screen_h = 540;
    }
    kiln_set_window_size(cconfig.window_w, cconfig.window_h);

    pstate.cart_root = folder_or(app.root_path, "carts/");
    orbo_cdata_folder = folder_or(app.cdata_path, "cdata/");
    reset_run_chain();
    orbo_wire_layers();  // cartridge storage's root needs the settings
    orbo_new_machine();

    load_data_file();
    set_title_from_resources();

    kiln_set_screen(128, 128, 8, 0x100);
    if (const kiln_bitmap* icon = kiln_pod_bitmap(shell.resources.get(), 6))
        kiln_set_window_icon(icon);
    if (const kiln_palette* pal = kiln_pod_palette(shell.resources.get(), 1)) kiln_set_palette(pal);
    shell.display = kiln_create_bitmap(128, 128, 8);
    app.video_capture = kiln_create_bitmap(128, 128, 8);

    if (orbo_load_splash(kiln_prefix_with_exe_path("splash.png"))) pstate.app_mode = MODE_SPLASH;
    else boot_init();

    orbo_working().tabs.current = 0;

    kiln_sound.init(16);
    orbo_init_browser_lists();

    // A stuck program abandoned on a quit request still leaves its data:
    // the watchdog writes it from the copy the program's thread shares.
    kiln_set_emergency_save([] { orbo_cdata_save_from_any_thread(); });
    if (pstate.exec_mode) start_exec_mode();
}

void orbo_main_update()
{
    kiln_host* host = kiln_host_get();
    if (app.glitch_test && pstate.app_mode == MODE_RUNNING) {
        if (++app.glitch_frames == 12) orbo_reset_glitch = 1;  // once: it then counts its own frames
        if (pstate.pending_action == ACTION_RUN) {
            orbo_glitch_screenshot();
            app.glitch_frames = 1;
            if (++app.glitch_shots >= 48) kiln_terminate(0);
        }
    }
    kiln_state.mouse_dx = kiln_state.mouse_dy = 0;
    orbo_mute_keys();
    orbo_reset_frame_overrides();
    if (pstate.pending_action != ACTION_NONE) dispatch_pending_action();
    if (pstate.app_mode != MODE_RUNNING) {
        orbo_pause().menu_open = false;
        orbo_cpu.fps = 30;
    }

    int rate = orbo_pause().menu_open ? 30 : orbo_cpu.fps;
    // Unpaced runs (tools) owe exactly one frame every pass, as the glitch test does.
    bool glitch = (app.glitch_test != 0 && pstate.app_mode == MODE_RUNNING) || orbo_shell.unpaced;
    if (orbo_frame_clock_advance(app.frame_accumulator, host->ticks(), rate, glitch)) {
        if (orbo_pause().menu_open) {
            orbo_shell_drive_buttons();
            orbo_process_running_keypresses();
            orbo_pause_menu_keys();
            orbo_frame_clock_done(app.frame_accumulator);
            orbo_record_video_frame();
        } else {
            run_console_frame();
        }
        count_console_frame();
    }

    if (pstate.app_mode == MODE_RUNNING && pstate.view == 0 && orbo_pause().menu_open &&
        kiln_get_key_state(KILN_SC_ESCAPE) == 3 && !kiln_key_blocked(KILN_SC_ESCAPE)) {
        orbo_pause().menu_open = false;
        kiln_block_key(KILN_SC_ESCAPE);
    }
    if (!kiln_get_key_state(-4)) orbo_capture_keys();
    if (app.restore_keys) {
        memcpy(kilnkey, app.saved_keys, sizeof kilnkey);
        app.restore_keys = false;
    }
    if (pstate.hold_frames == 0) app.held_frame_counter = 0;
    orbo_update_audio_pause();
}

void orbo_main_draw()
{
    kiln_host* host = kiln_host_get();
    uint32_t start = host->ticks();
    if (pstate.pending_action != ACTION_NONE) return;
    if (kiln_back_page) std::fill(kiln_back_page->pixels.begin(), kiln_back_page->pixels.end(), 0);

    if (pstate.app_mode == MODE_SPLASH && app.splash) {
        const kiln_bitmap& s = *app.splash;
        if (!kiln_back_page || kiln_back_page->w != s.w || kiln_back_page->h != s.h ||
            kiln_back_page->depth != 8)
            kiln_back_page = kiln_create_bitmap(s.w, s.h, 8);
        if (kiln_back_page) kiln_back_page->pixels = s.pixels;
        return;
    }
    if (!kiln_back_page || kiln_back_page->w != 128 || kiln_back_page->h != 128 ||
        kiln_back_page->depth != 8)
        kiln_back_page = kiln_create_bitmap(128, 128, 8);

    if (pstate.overlay_screen == 0 && pstate.app_mode == MODE_CONSOLE &&
        pstate.pending_action == ACTION_NONE) {
        // The command strip: the command text is always empty in this player.
        int y = orbo_live_machine()->cursor_y;
        orbo_console_rectfill(0, y, 12, y + 5, 0);
    } else if (pstate.overlay_screen == 1 && pstate.app_mode == MODE_CONSOLE) {
        orbo_keyconfig_draw();
    }
    if (pstate.hold_frames == 0 && !pstate.hold) blit_orbo_back_page_to_orbo_screen();
    if (shell.display) kiln_back_page->pixels = shell.display->pixels;

    if (orbo_pause().menu_open) orbo_draw_pause_menu();
    if (pstate.hold_frames > 0 && pstate.app_mode == MODE_RUNNING) {
        int k = app.held_frame_counter;
        const kiln_bitmap* frame = kiln_pod_bitmap(shell.resources.get(), 212 + (k / 2) % 12);
        if (frame && frame->depth == 8) {
            for (int y = 0; y < 12 && y < frame->h; y++)
                for (int x = 0; x < 12 && x < frame->w; x++)
                    if (frame->row(y)[x]) kiln_back_page->row(3 + y)[3 + x] = frame->row(y)[x];
        }
    }
    if (app.video_capture) app.video_capture->pixels = kiln_back_page->pixels;
    orbo_draw_message_bar();
    pstate.draw_ms = int(host->ticks() - start);
    if (orbo_shell.after_pass) orbo_shell.after_pass();
}

void orbo_main_exit()
{
    save_cdata();
    orbo_close_gpio();
}

const kiln_app orbo_shell_app = {orbo_main_init, orbo_main_update, orbo_main_draw, orbo_main_exit};
