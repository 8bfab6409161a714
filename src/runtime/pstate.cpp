#include "runtime/pstate.h"

#include "hardware/machine.h"

orbo_pstate pstate;

void orbo_reset_pstate()
{
    pstate = orbo_pstate{};
    orbo_reset_glitch = 0;
}
