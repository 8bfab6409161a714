// Where printh's text goes: nowhere in the player; tools that run a
// cartridge for its author set a sink.
#pragma once

extern void (*orbo_printh_sink)(const char* text);
