// The mixer on the host's audio device: opened once at start-up, closed at
// exit. Without a device (none available, mix_buffer_size 0, headless runs)
// the console runs silent and the log says so once.
#include "audio/audio.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"

namespace {
bool g_open = false;
}  // namespace

void orbo_sound_device_open(int)
{
    if (g_open) return;
    int samples = orbo_audio_device_samples(cconfig.mix_buffer_size);
    orbo_audio_reset();
    if (cconfig.headless || samples == 0) {
        kiln_debug("sound: no audio device in this run\n");
        return;
    }
    g_open = kiln_host_get()->open_audio(samples, orbo_mixer_callback);
    if (!g_open) kiln_debug("sound: no audio device, running silent\n");
}

void orbo_sound_device_close()
{
    if (g_open) kiln_host_get()->close_audio();
    g_open = false;
}
