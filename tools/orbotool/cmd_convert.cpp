#include <unistd.h>

#include <cstdio>
#include <string>

#include "cart/cart_file.h"
#include "cart/cart_png.h"
#include "cart/cart_palette.h"
#include "cart/rom.h"
#include "platform/font.h"
#include "platform/log.h"
#include "platform/pod.h"
#include "commands.h"

namespace {
// The console font and palette from the data file beside orbotool, so PNG
// cartridges get their title lines; without it they are drawn without text.
struct data_file_art {
    kiln_font_ptr font;
    data_file_art()
    {
        char exe[1024];
        ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n <= 0) return;
        exe[n] = 0;
        std::string dir(exe);
        dir.erase(dir.rfind('/') + 1);
        kiln_pod_ptr data = kiln_load_pod((dir + "data.pod").c_str());
        if (!data) return;
        if (const kiln_file* res = kiln_pod_file(data.get(), 1)) {
            kiln_pod_ptr pod = kiln_load_pod_memory(res->bytes.data(), res->bytes.size());
            if (const kiln_palette* pal = kiln_pod_palette(pod.get(), 1)) orbo_cart_set_palette(pal->rgb);
        }
        if (const kiln_file* f = kiln_pod_file(data.get(), 2)) {
            kiln_pod_ptr pod = kiln_load_pod_memory(f->bytes.data(), f->bytes.size());
            font = kiln_load_font(pod.get());
            orbo_cart_set_font(font.get());
        }
    }
    ~data_file_art() { orbo_cart_set_font(nullptr); }
};
}  // namespace

// orbotool convert IN OUT: a cartridge in any format to the format OUT's name
// selects (".ob.png", ".bin", else text), converted to the current version.
int cmd_convert(int argc, char** argv)
{
    if (argc != 2) {
        orbotool_usage("convert", stderr);
        return 2;
    }
    kiln_log_set_stdout(false);
    data_file_art art;
    orbo_cart_ptr cart = orbo_load_cart_file(argv[0]);
    if (!cart) {
        fprintf(stderr, "orbotool: cannot load cartridge %s\n", argv[0]);
        return 1;
    }
    // Every format written is the current version: convert old records as a
    // load does (this also settles the shared half, which the image forms
    // carry only in the sprite sheet).
    orbo_convert_loaded_cart(cart.get());
    int r = orbo_save_cart_file(cart.get(), argv[1]);
    if (r == 1) {
        fprintf(stderr, "orbotool: code too large for %s\n", argv[1]);
        return 1;
    }
    if (r) {
        fprintf(stderr, "orbotool: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
