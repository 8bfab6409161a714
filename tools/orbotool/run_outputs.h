// What `orbotool run` writes besides its console lines: the last frame
// shown (--screenshot), every frame shown (--gif) and the sound of the
// frames run (--wav), each through the player's own writers.
#pragma once

// Collects frames and sound after every pass from now on, as asked.
void run_outputs_start(bool frames, bool sound);
bool write_screenshot(const char* path);
bool write_gif(const char* path);
bool write_wav(const char* path);
