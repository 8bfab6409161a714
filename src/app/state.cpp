#include "app/state.h"

orbo_app app;
orbo_pstate pstate;

void orbo_reset_records()
{
    app = orbo_app{};
    pstate = orbo_pstate{};
    for (int i = 0; i < 16; i++) pstate.display_palette[i] = uint8_t(i);
}
