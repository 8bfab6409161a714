#include "golden.h"

#include <lodepng.h>

#include <cstdlib>
#include <vector>

#include "platform/log.h"
#include "platform/pod.h"

namespace hwtest {
namespace {
struct data_pod {
    kiln_pod_ptr data, res, font_pod;
    kiln_font_ptr font;
    uint8_t rgb[48] = {};
    bool ok = false;

    data_pod()
    {
        kiln_log_set_stdout(false);
        data = kiln_load_pod(ORBO_BINARY_DIR "/data.pod");
        kiln_log_set_stdout(true);
        if (!data) return;
        if (const kiln_file* f = kiln_pod_file(data.get(), 1)) res = kiln_load_pod_memory(f->bytes.data(), f->bytes.size());
        if (const kiln_file* f = kiln_pod_file(data.get(), 2))
            font_pod = kiln_load_pod_memory(f->bytes.data(), f->bytes.size());
        font = kiln_load_font(font_pod.get());
        const kiln_palette* pal = kiln_pod_palette(res.get(), 1);
        if (!pal || !font) return;
        for (int i = 0; i < 48; i++) rgb[i] = pal->rgb[i];
        ok = true;
    }
};

const data_pod& pod()
{
    static data_pod d;
    return d;
}

std::vector<uint8_t> render(const kiln_bitmap& screen)
{
    std::vector<uint8_t> out(size_t(screen.w) * screen.h * 3);
    for (int y = 0; y < screen.h; y++)
        for (int x = 0; x < screen.w; x++) {
            int v = screen.row(y)[x] & 15;  // the display shows the low nibble
            for (int k = 0; k < 3; k++) out[(size_t(y) * screen.w + x) * 3 + k] = pod().rgb[v * 3 + k];
        }
    return out;
}
}  // namespace

const kiln_font* console_font() { return pod().font.get(); }

::testing::AssertionResult matches_golden(const kiln_bitmap& screen, const std::string& name)
{
    if (!pod().ok) return ::testing::AssertionFailure() << "data.pod missing: build the data_pod target";
    std::string path = std::string(ORBO_SOURCE_DIR) + "/tests/hardware/golden/" + name + ".png";
    std::vector<uint8_t> img = render(screen);
    const char* update = std::getenv("ORBO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        if (lodepng::encode(path, img, unsigned(screen.w), unsigned(screen.h), LCT_RGB) != 0)
            return ::testing::AssertionFailure() << "cannot write " << path;
        return ::testing::AssertionSuccess();
    }
    std::vector<uint8_t> want;
    unsigned w = 0, h = 0;
    if (lodepng::decode(want, w, h, path, LCT_RGB) != 0)
        return ::testing::AssertionFailure() << "no golden image " << path << " (ORBO_UPDATE_GOLDEN=1 writes it)";
    if (w != unsigned(screen.w) || h != unsigned(screen.h))
        return ::testing::AssertionFailure() << name << ": golden image is " << w << "x" << h;
    std::vector<uint8_t> diff(img.size());
    int bad = 0, first_x = -1, first_y = -1;
    for (size_t p = 0; p < img.size() / 3; p++) {
        bool same = img[p * 3] == want[p * 3] && img[p * 3 + 1] == want[p * 3 + 1] && img[p * 3 + 2] == want[p * 3 + 2];
        for (int k = 0; k < 3; k++) diff[p * 3 + k] = same ? uint8_t(img[p * 3 + k] / 4) : 255;
        if (!same && bad++ == 0) {
            first_x = int(p % screen.w);
            first_y = int(p / screen.w);
        }
    }
    if (bad == 0) return ::testing::AssertionSuccess();
    std::string diff_path = std::string(ORBO_BINARY_DIR) + "/golden_diff_" + name + ".png";
    lodepng::encode(diff_path, diff, unsigned(screen.w), unsigned(screen.h), LCT_RGB);
    return ::testing::AssertionFailure() << name << ": " << bad << " pixels differ, first at (" << first_x << ", "
                                         << first_y << "); diff image " << diff_path;
}

}  // namespace hwtest
