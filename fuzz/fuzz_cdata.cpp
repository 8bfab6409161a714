// Feeds arbitrary file bytes to the cartridge-data loader and checks the
// words against a plain model: the hex digits of the first 1024 bytes (at
// most 512), each group of 8 scanned with "%08x" from a zero-terminated
// copy. The loaded words must also survive a save and a reload unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/state.h"
#include "runtime/pstate.h"
#include "hardware/cdata.h"
#include "hardware/machine.h"

namespace {
void model(const uint8_t* data, size_t size, uint32_t words[64])
{
    char digits[513] = {};
    size_t n = 0;
    for (size_t i = 0; i < size && i < 1024 && n < 512; i++)
        if (isxdigit(data[i])) digits[n++] = char(data[i]);
    for (int w = 0; w < 64; w++) {
        unsigned v = 0;
        words[w] = size_t(w) * 8 < n && sscanf(digits + w * 8, "%08x", &v) == 1 ? v : 0;
    }
}

void open_store()
{
    orbo_cdata_close();
    if (load_cdata("fuzz") == 2) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static orbo_machine* console = [] {
        static orbo_cart_ptr cart = orbo_create_cart();
        static std::unique_ptr<orbo_machine> c = orbo_create_machine(cart.get());
        char tmpl[] = "/tmp/fuzz_cdata_XXXXXX";
        if (!mkdtemp(tmpl)) abort();
        orbo_cdata_folder = std::string(tmpl) + "/";
        pstate.app_mode = MODE_RUNNING;
        pstate.program_flag = 1;
        orbo_set_live_machine(c.get());
        return c.get();
    }();
    std::string path = orbo_cdata_folder + "fuzz.obd.txt";
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);

    open_store();
    uint32_t want[64];
    model(data, size, want);
    if (memcmp(console->cdata, want, sizeof want) != 0) abort();

    console->cdata_dirty = true;
    if (save_cdata() != 0) abort();
    open_store();
    if (memcmp(console->cdata, want, sizeof want) != 0) abort();
    return 0;
}
