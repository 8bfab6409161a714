// Cartridge data: 64 words of 16.16 raw bits a cartridge keeps across runs
// under an id, in console memory 0x5E00-0x5EFF, saved as a text file of 8
// lines of 64 lower-case hex digits in the cartridge-data folder.
#pragma once
#include <cstdint>

// Opens the store: 0 loaded, 1 not loaded (no program running, or no file),
// 2 refused with a runtime error, 3 no id.
int load_cdata(const char* id);
// Writes the file when a program runs and a store is open: 0 written, 1 not.
int save_cdata();
// After every slice: saves when the data changed and more than 1000 ms
// passed since the last periodic save.
void orbo_cdata_periodic_save(uint32_t now_ms);
// A new run: the store is closed (the words keep their values).
void orbo_cdata_close();
