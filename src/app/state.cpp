#include "app/state.h"

orbo_app app;
orbo_pstate pstate;

void orbo_reset_records()
{
    app = orbo_app{};
    pstate = orbo_pstate{};
}
