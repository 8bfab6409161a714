#include "app/state.h"

#include "hardware/seams.h"

orbo_app app;
orbo_pstate pstate;

void orbo_reset_records()
{
    app = orbo_app{};
    pstate = orbo_pstate{};
    orbo_reset_glitch = 0;
}
