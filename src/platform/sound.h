// The framework's sound device entry points. The audio device, mixer and
// music are built by the audio issue; until then these are seams that do
// nothing (there is no device and so nothing to start, stop or fade).
#pragma once

// Seam: opens the audio device with the given voice count. Does nothing yet.
void kiln_sound_init(int voices);
// Seam: closes the audio device. Does nothing yet.
void kiln_sound_exit();
// Seam: stops the music. Does nothing yet.
void cmusic_stop();
// Seam: advances music fades once per host pass. Does nothing yet.
void kiln_update_music_fades();
