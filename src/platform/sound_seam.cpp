// Seams for the audio device until the mixer exists: each does nothing.
#include "platform/sound.h"

void kiln_sound_init(int) {}
void kiln_sound_exit() {}
void cmusic_stop() {}
void kiln_update_music_fades() {}
