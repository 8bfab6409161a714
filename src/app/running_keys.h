// Typed keys while a program runs: Ctrl+R quick load with the reset glitch,
// Ctrl+S quick save, Ctrl+V paste; other keys to the program (stat 30/31).
#pragma once

void process_running_keypresses();
void orbo_process_running_keypresses();
