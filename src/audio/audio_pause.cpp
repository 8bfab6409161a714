// When the mixer outputs silence: the platform pause flag and the audio
// pause state that counts a few passes past an unpause.
#include <atomic>

#include "audio/audio.h"
#include "audio/mixer.h"
#include "platform/kiln.h"

namespace {
std::atomic<bool> g_platform_pause{false};
}  // namespace

void orbo_audio_set_platform_pause(bool paused) { g_platform_pause.store(paused, std::memory_order_relaxed); }

bool mixer_paused() { return g_platform_pause.load(std::memory_order_relaxed) || kiln_state.audio_pause.load() != 0; }

int orbo_audio_pause_next(int prev, bool program_running, int reg_5f2f, bool menu_open)
{
    const bool counting = prev >= 1 && prev <= 4;
    if (!program_running) return counting ? prev + 1 : 0;
    if (menu_open && reg_5f2f == 2) return 0;
    if (reg_5f2f == 1 || menu_open) return 1;
    return counting ? prev + 1 : 0;
}

void orbo_audio_update_pause_state(bool program_running, int reg_5f2f, bool menu_open)
{
    kiln_state.audio_pause = orbo_audio_pause_next(kiln_state.audio_pause, program_running, reg_5f2f, menu_open);
}
