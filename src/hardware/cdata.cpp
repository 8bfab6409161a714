// Placeholder until cartridge data lands: nothing is stored.
#include "hardware/cdata.h"

int load_cdata(const char*) { return 1; }
int save_cdata() { return 1; }
void orbo_cdata_periodic_save(uint32_t) {}
void orbo_cdata_close() {}
