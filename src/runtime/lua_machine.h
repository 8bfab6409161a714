// The script machine: one engine state over the console's allocator with
// every console function registered. It is replaced whole before every run
// and on every reset.
#pragma once

struct lua_State;

// Closes the current machine (if any) and creates a new one.
void reset_lua_machine();
// Creates a machine without closing the current one (start-up).
void start_lua_machine();
// Closes the machine and forgets it (exit, tests).
void close_lua_machine();
// Script memory: the program's base charge plus the heap's charged bytes.
long long orbo_script_memory();
// A fresh console machine: closes the script machine (it allocates through
// the machine's heap record), then replaces the live machine.
void orbo_new_machine();
