// Sampling every input once per console frame (keys, 8 controllers through
// SDL's game-controller API, the wheel), then the per-frame update: the
// cost the shell and flip pay each frame. Virtual pads stand in for
// devices; SDL's dummy video driver needs no display.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "../tests/support/virtual_pad.h"
#include "hardware/buttons.h"
#include "platform/config.h"
#include "platform/joystick.h"
#include "platform/keys.h"
#include "platform/kiln.h"

kiln_host* kiln_sdl_host();

static void BM_ReadButtonsEightControllers(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    kiln_host_set(kiln_sdl_host());
    if (!kiln_host_get()->system_init()) {
        state.SkipWithError("SDL did not start");
        return;
    }
    cconfig.foreground_sleep_ms = cconfig.background_sleep_ms = 0;
    kiln_keys_init();
    kiln_joystick_init();
    for (int i = 0; i < 8; i++) attach_virtual_pad();
    kiln_handle_system_messages();
    if (kiln_count_joysticks() != 8) state.SkipWithError("the virtual pads did not attach");
    for (auto _ : state) {
        read_buttons();
        update_buttons();
        benchmark::DoNotOptimize(orbo_buttons().down);
    }
    kiln_joystick_exit();
    kiln_host_get()->system_exit();
}
BENCHMARK(BM_ReadButtonsEightControllers);
