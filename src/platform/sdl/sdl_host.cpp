// The SDL2 host: window, renderer with a streaming ARGB8888 texture (or the
// window surface when no renderer can be made), events, keyboard, mouse,
// clipboard and game controllers. Only this folder calls SDL.
#include <SDL.h>

#include <cstring>
#include <string>

#include "platform/host.h"
#include "platform/log.h"
#include "platform/video.h"

namespace {
class sdl_host final : public kiln_host {
public:
    bool headless() const override { return false; }

    bool system_init() override
    {
        Uint32 flags = SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK |
                       SDL_INIT_HAPTIC | SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS;
        if (SDL_Init(flags) < 0) {
            // Haptics are missing on many machines; try again without them.
            if (SDL_Init(flags & ~Uint32(SDL_INIT_HAPTIC)) < 0) return false;
        }
        SDL_version c, l;
        SDL_VERSION(&c);
        SDL_GetVersion(&l);
        kiln_debug("Compiled against SDL version: %d.%d.%d\n", c.major, c.minor, c.patch);
        kiln_debug("Linked against SDL version:   %d.%d.%d\n", l.major, l.minor, l.patch);
        kiln_debug("system: %s, %d cpus, %d MB ram, video driver %s\n", SDL_GetPlatform(),
                   SDL_GetCPUCount(), SDL_GetSystemRAM(),
                   SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "none");
        if (!visible_video_driver()) {
            fputs("orbo: no display available (set DISPLAY, or run a cartridge with -x CART, or use -headless)\n",
                  stderr);
            SDL_Quit();
            return false;
        }
        SDL_StopTextInput();
        SDL_StartTextInput();
        return true;
    }

    // Without a display SDL falls back to drivers that show nothing; the
    // player would then run unseen until killed. A driver named in
    // SDL_VIDEODRIVER is taken as asked for.
    static bool visible_video_driver()
    {
        const char* d = SDL_GetCurrentVideoDriver();
        if (!d) return false;
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        if (asked && *asked) return true;
        return strcmp(d, "offscreen") != 0 && strcmp(d, "dummy") != 0;
    }

    bool open_audio(int samples, audio_callback callback) override
    {
        SDL_AudioSpec want{}, have{};
        want.freq = 22050;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = Uint16(samples);
        want.callback = callback;
        // No changes allowed: SDL converts if the device needs another format.
        audio_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!audio_device) return false;
        kiln_debug("audio device: %s, %d samples\n", SDL_GetCurrentAudioDriver(), int(have.samples));
        SDL_PauseAudioDevice(audio_device, 0);
        return true;
    }

    void close_audio() override
    {
        if (audio_device) SDL_CloseAudioDevice(audio_device);
        audio_device = 0;
    }

    void system_exit() override
    {
        SDL_StopTextInput();
        SDL_Quit();
    }

    uint32_t ticks() override { return SDL_GetTicks(); }
    void sleep_ms(int ms) override { SDL_Delay(Uint32(ms)); }

    void desktop_size(int* w, int* h) override
    {
        SDL_DisplayMode m;
        if (SDL_GetDesktopDisplayMode(0, &m) == 0) {
            *w = m.w;
            *h = m.h;
        } else {
            *w = *h = 0;
        }
    }

    std::string key_name(int sc) override
    {
        const char* n = SDL_GetScancodeName(SDL_Scancode(sc));
        return n ? n : "";
    }

    std::string take_error() override
    {
        const char* e = SDL_GetError();
        std::string s = e ? e : "";
        SDL_ClearError();
        return s;
    }

    int open_window(const kiln_window_desc& d) override
    {
        close_window();
        desc_ = d;
        if (!create_window(d)) return -1;
        if (d.software) return software_ready() ? 0 : -1;
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
        if (!renderer_) {
            SDL_DestroyWindow(window_);
            window_ = nullptr;
            desc_.software = true;
            if (!create_window(desc_)) return -1;
            return software_ready() ? 1 : -1;
        }
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, d.pixel_perfect ? "nearest" : "linear");
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderPresent(renderer_);
        make_texture(d.tex_w, d.tex_h);
        fps_tex_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, 128, 8);
        SDL_RendererInfo info;
        if (SDL_GetRendererInfo(renderer_, &info) == 0) {
            kiln_debug("renderer: %s flags 0x%x max texture %dx%d\n", info.name, info.flags,
                       info.max_texture_width, info.max_texture_height);
            for (Uint32 i = 0; i < info.num_texture_formats; i++)
                kiln_debug(" texture format: %s\n", SDL_GetPixelFormatName(info.texture_formats[i]));
        }
        return 0;
    }

    void close_window() override
    {
        if (texture_) SDL_DestroyTexture(texture_);
        if (fps_tex_) SDL_DestroyTexture(fps_tex_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        texture_ = fps_tex_ = nullptr;
        renderer_ = nullptr;
        window_ = nullptr;
        tex_w_ = tex_h_ = 0;
    }

    void window_size(int* w, int* h) override
    {
        *w = *h = 0;
        if (!window_) return;
        if (renderer_) SDL_GetRendererOutputSize(renderer_, w, h);
        else SDL_GetWindowSize(window_, w, h);
    }

    void window_position(int* x, int* y) override
    {
        *x = *y = -1;
        if (window_) SDL_GetWindowPosition(window_, x, y);
    }

    bool has_focus() override
    {
        return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS);
    }

    void set_title(const char* title) override
    {
        if (window_) SDL_SetWindowTitle(window_, title);
    }

    void set_icon(const kiln_bitmap* bm) override
    {
        if (!window_ || !bm || bm->depth != 32) return;
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint8_t*>(bm->pixels.data()), bm->w, bm->h, 32, bm->w * 4,
            SDL_PIXELFORMAT_ARGB8888);
        if (!s) return;
        SDL_SetWindowIcon(window_, s);
        SDL_FreeSurface(s);
    }

    void present(const uint32_t* argb, int w, int h, kiln_rect r, const uint32_t* fps) override
    {
        if (!window_) return;
        if (!renderer_) {
            present_software(argb, w, h, r);
            return;
        }
        if (w != tex_w_ || h != tex_h_) make_texture(w, h);
        if (texture_) SDL_UpdateTexture(texture_, nullptr, argb, w * 4);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        if (texture_ && r.w >= 0 && r.h >= 0) {
            SDL_Rect dst{r.x, r.y, r.w, r.h};
            SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
        }
        if (fps && fps_tex_) {
            SDL_UpdateTexture(fps_tex_, nullptr, fps, 128 * 4);
            SDL_Rect dst{0, 0, 128, 8};
            SDL_RenderCopy(renderer_, fps_tex_, nullptr, &dst);
        }
        SDL_RenderPresent(renderer_);
    }

    void sample_keyboard(uint8_t keys[KILN_KEYS], int* mods) override
    {
        int n = 0;
        const Uint8* st = SDL_GetKeyboardState(&n);
        if (n > KILN_KEYS) n = KILN_KEYS;
        for (int i = 0; i < n; i++) keys[i] = st[i] ? 1 : 0;
        SDL_Keymod m = SDL_GetModState();
        int out = 0;
        if (m & KMOD_LCTRL) out |= KILN_MOD_LCTRL;
        if (m & KMOD_RCTRL) out |= KILN_MOD_RCTRL;
        if (m & KMOD_LALT) out |= KILN_MOD_LALT;
        if (m & KMOD_RALT) out |= KILN_MOD_RALT;
        if (m & KMOD_LGUI) out |= KILN_MOD_LGUI;
        if (m & KMOD_RGUI) out |= KILN_MOD_RGUI;
        if (m & KMOD_LSHIFT) out |= KILN_MOD_LSHIFT;
        if (m & KMOD_RSHIFT) out |= KILN_MOD_RSHIFT;
        *mods = out;
    }

    bool poll_event(kiln_host_event* out) override
    {
        SDL_Event e;
        if (!SDL_PollEvent(&e)) return false;
        *out = kiln_host_event{};
        switch (e.type) {
        case SDL_QUIT: out->kind = kiln_host_event::QUIT; break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_RESIZED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
            case SDL_WINDOWEVENT_RESTORED: refresh_ = true; break;
            default: break;
            }
            switch (e.window.event) {
            case SDL_WINDOWEVENT_SHOWN:
                refresh_ = true;
                out->kind = kiln_host_event::WINDOW_ACTIVE;
                break;
            case SDL_WINDOWEVENT_MAXIMIZED:
            case SDL_WINDOWEVENT_FOCUS_GAINED: out->kind = kiln_host_event::WINDOW_ACTIVE; break;
            case SDL_WINDOWEVENT_CLOSE:
                out->kind = kiln_host_event::WINDOW_CLOSE;
                out->number = e.window.event;
                break;
            default: break;
            }
            break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET: refresh_ = true; break;
        case SDL_MOUSEWHEEL:
            out->kind = kiln_host_event::WHEEL;
            out->dx = e.wheel.x;
            out->dy = e.wheel.y;
            break;
        case SDL_TEXTINPUT:
            out->kind = kiln_host_event::TEXT;
            memcpy(out->text, e.text.text, sizeof out->text - 1);
            break;
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_JOYDEVICEADDED:
        case SDL_JOYDEVICEREMOVED: out->kind = kiln_host_event::DEVICE; break;
        case SDL_KEYDOWN:
            out->kind = kiln_host_event::KEY_DOWN;
            out->scancode = e.key.keysym.scancode;
            out->sym = e.key.keysym.sym;
            break;
        default: break;
        }
        return true;
    }

    bool take_refresh() override
    {
        bool r = refresh_;
        refresh_ = false;
        return r;
    }

    void mouse_state(int* x, int* y, int* b) override
    {
        Uint32 s = SDL_GetMouseState(x, y);
        int out = 0;
        if (s & SDL_BUTTON(SDL_BUTTON_LEFT)) out |= 1;
        if (s & SDL_BUTTON(SDL_BUTTON_RIGHT)) out |= 2;
        if (s & SDL_BUTTON(SDL_BUTTON_MIDDLE)) out |= 4;
        *b = out;
    }

    void show_cursor(bool on) override
    {
        if (cursor_shown_ != on) SDL_ShowCursor(on ? SDL_ENABLE : SDL_DISABLE);
        cursor_shown_ = on;
    }

    bool has_clipboard() override { return SDL_HasClipboardText() == SDL_TRUE; }
    std::string get_clipboard() override
    {
        char* t = SDL_GetClipboardText();
        std::string s = t ? t : "";
        SDL_free(t);
        return s;
    }
    void set_clipboard(const std::string& t) override { SDL_SetClipboardText(t.c_str()); }

    // SDL2 carries the community controller database and applies it by
    // itself; the framework's built-in list is that one.
    int add_builtin_mappings() override { return SDL_GameControllerNumMappings(); }
    int add_mapping(const char* m) override { return SDL_GameControllerAddMapping(m); }
    int joystick_count() override { return SDL_NumJoysticks(); }

    std::string open_joystick(int i) override { return open_device(i, i); }

    uint32_t sync_joysticks(uint32_t* changed, std::string* log) override
    {
        *changed = 0;
        for (int i = 0; i < 8; i++) {
            bool gone = (pads_[i] && !SDL_GameControllerGetAttached(pads_[i])) ||
                        (joys_[i] && !SDL_JoystickGetAttached(joys_[i]));
            if (!gone) continue;
            close_slot(i);
            *changed |= 1u << i;
        }
        for (int d = 0; d < SDL_NumJoysticks(); d++) {
            SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(d);
            if (id < 0 || slot_of(id) >= 0) continue;
            int free = slot_of(-1);
            if (free < 0) break;  // 8 devices in use: the rest wait for a free slot
            *log += open_device(d, free);
            if (pads_[free] || joys_[free]) *changed |= 1u << free;
        }
        uint32_t used = 0;
        for (int i = 0; i < 8; i++)
            if (pads_[i] || joys_[i]) used |= 1u << i;
        return used;
    }

    void close_joysticks() override
    {
        for (int i = 0; i < 8; i++) close_slot(i);
    }

    bool read_joystick(int i, kiln_joy_raw* out) override
    {
        *out = kiln_joy_raw{};
        if (i < 0 || i >= 8) return false;
        if (pads_[i] && SDL_GameControllerGetAttached(pads_[i])) {
            out->attached = out->is_controller = true;
            for (int a = 0; a < kiln_joy_raw::AXES; a++)
                out->axes[a] = SDL_GameControllerGetAxis(pads_[i], SDL_GameControllerAxis(a));
            for (int b = 0; b < 15; b++)
                if (SDL_GameControllerGetButton(pads_[i], SDL_GameControllerButton(b)))
                    out->buttons |= 1u << b;
            return true;
        }
        if (joys_[i] && SDL_JoystickGetAttached(joys_[i])) {
            out->attached = true;
            int na = SDL_JoystickNumAxes(joys_[i]);
            for (int a = 0; a < kiln_joy_raw::AXES && a < na; a++)
                out->axes[a] = SDL_JoystickGetAxis(joys_[i], a);
            int nb = SDL_JoystickNumButtons(joys_[i]);
            for (int b = 0; b < 15 && b < nb; b++)
                if (SDL_JoystickGetButton(joys_[i], b)) out->buttons |= 1u << b;
            return true;
        }
        return false;
    }

private:
    // Opens device index d as a controller (or a raw joystick when the host
    // does not know it as one) into slot i; returns its description lines.
    std::string open_device(int d, int i)
    {
        if (i < 0 || i >= 8) return "";
        char buf[1024];
        if (SDL_IsGameController(d)) {
            pads_[i] = SDL_GameControllerOpen(d);
            if (!pads_[i]) return "";
            SDL_Joystick* j = SDL_GameControllerGetJoystick(pads_[i]);
            char* map = SDL_GameControllerMapping(pads_[i]);
            snprintf(buf, sizeof buf,
                     "Controller %d: %s\nNumber of Axes: %d\nNumber of Buttons: %d\n"
                     "Number of Balls: %d\nMapping: %s\n",
                     i, SDL_GameControllerName(pads_[i]), SDL_JoystickNumAxes(j),
                     SDL_JoystickNumButtons(j), SDL_JoystickNumBalls(j), map ? map : "");
            SDL_free(map);
        } else {
            joys_[i] = SDL_JoystickOpen(d);
            if (!joys_[i]) return "";
            snprintf(buf, sizeof buf,
                     "Unmapped Joystick %d: %s\nNumber of Axes: %d\nNumber of Buttons: %d\n"
                     "Number of Balls: %d\n",
                     i, SDL_JoystickName(joys_[i]), SDL_JoystickNumAxes(joys_[i]),
                     SDL_JoystickNumButtons(joys_[i]), SDL_JoystickNumBalls(joys_[i]));
        }
        return buf;
    }

    void close_slot(int i)
    {
        if (pads_[i]) SDL_GameControllerClose(pads_[i]);
        if (joys_[i]) SDL_JoystickClose(joys_[i]);
        pads_[i] = nullptr;
        joys_[i] = nullptr;
    }

    // The slot holding the device with this instance id (-1: a free slot),
    // or -1 when there is none.
    int slot_of(SDL_JoystickID id)
    {
        for (int i = 0; i < 8; i++) {
            SDL_Joystick* j = pads_[i] ? SDL_GameControllerGetJoystick(pads_[i]) : joys_[i];
            if (id < 0 ? j == nullptr : (j && SDL_JoystickInstanceID(j) == id)) return i;
        }
        return -1;
    }

    bool create_window(const kiln_window_desc& d)
    {
        Uint32 flags = 0;
        int x = d.x < 0 ? SDL_WINDOWPOS_UNDEFINED : d.x;
        int y = d.y < 0 ? SDL_WINDOWPOS_UNDEFINED : d.y;
        int w = d.w, h = d.h;
        if (d.fullscreen) {
            x = y = SDL_WINDOWPOS_UNDEFINED;
            int dw = 0, dh = 0;
            desktop_size(&dw, &dh);
            if (dw > 0 && dh > 0) w = dw, h = dh;
            if (d.fullscreen_method == 0)
                flags |= SDL_WINDOW_MAXIMIZED | SDL_WINDOW_BORDERLESS | SDL_WINDOW_INPUT_GRABBED;
            else if (d.fullscreen_method == 2) flags |= SDL_WINDOW_FULLSCREEN;
            else flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        } else {
            flags |= SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN;
            if (d.frameless) flags |= SDL_WINDOW_BORDERLESS;
        }
        window_ = SDL_CreateWindow(d.title, x, y, w, h, flags);
        return window_ != nullptr;
    }

    bool software_ready() { return SDL_GetWindowSurface(window_) != nullptr; }

    void make_texture(int w, int h)
    {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, w, h);
        tex_w_ = w;
        tex_h_ = h;
    }

    void present_software(const uint32_t* argb, int w, int h, kiln_rect r)
    {
        SDL_Surface* s = SDL_GetWindowSurface(window_);
        if (!s) return;
        if (s->format->BytesPerPixel != 4) return;
        SDL_LockSurface(s);
        kiln_scale_nearest(argb, w, h, static_cast<uint32_t*>(s->pixels), s->w, s->h,
                           s->pitch / 4, r);
        SDL_UnlockSurface(s);
        SDL_UpdateWindowSurface(window_);
    }

    kiln_window_desc desc_;
    SDL_Window* window_ = nullptr;
    SDL_AudioDeviceID audio_device = 0;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Texture* fps_tex_ = nullptr;
    int tex_w_ = 0, tex_h_ = 0;
    bool cursor_shown_ = true;
    bool refresh_ = true;
    SDL_GameController* pads_[8] = {};
    SDL_Joystick* joys_[8] = {};
};
}  // namespace

kiln_host* kiln_sdl_host()
{
    static sdl_host host;
    return &host;
}
