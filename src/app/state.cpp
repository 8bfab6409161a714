#include "app/state.h"

#include "runtime/pstate.h"

orbo_app app;
orbo_shell_state shell;

void orbo_reset_records()
{
    app = orbo_app{};
    shell = orbo_shell_state{};
    orbo_reset_pstate();
}
