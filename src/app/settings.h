// The application's section of "config.txt" and its command-line options.
#pragma once
#include <cstdio>

void set_default_app_config();
// Read hook: one line of "config.txt" the platform did not recognise.
void orbo_load_config(const char* line);
// Write hook: the application's section, after the platform's.
void orbo_save_config(FILE* f);
// Application options (the platform's are read by kiln_process_arguments).
void process_arguments(int argc, char** argv);
// One line per application option (name, value form, meaning) for the usage text.
void orbo_print_app_option_usage(FILE* f);
