// The sound as the framework reaches it: opening and closing the mixer on
// the host's audio device, stopping the music at exit, and the music fades
// advanced once per host pass. The sound layer fills kiln_sound in at
// start-up; the defaults are a console without sound.
#pragma once

struct kiln_sound_link {
    void (*init)(int voices);
    void (*exit)();
    void (*music_stop)();
    void (*update_music_fades)();
};

extern kiln_sound_link kiln_sound;
