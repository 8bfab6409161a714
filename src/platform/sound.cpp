#include "platform/sound.h"

namespace {
void no_voices(int) {}
void nothing() {}
}  // namespace

kiln_sound_link kiln_sound = {no_voices, nothing, nothing, nothing};
