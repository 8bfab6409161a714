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

#include "hardware/cdata.h"
#include "hardware/machine.h"
#include "hardware/runtime_link.h"

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
        char tmpl[] = "/tmp/fuzz_cdata_XXXXXX";
        if (!mkdtemp(tmpl)) abort();
        orbo_cdata_folder = std::string(tmpl) + "/";
        // A program runs, as far as cart data can tell.
        orbo_runtime_hooks.program_running = [] { return true; };
        return orbo_live_machine();
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
