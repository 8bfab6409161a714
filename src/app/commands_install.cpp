// install_demos and install_games: cartridges the data file may carry as
// nested pods. The player's own data file holds the head cart in item 3
// and embedded cartridges from item 4 on, so normally neither item reads as
// a pod; then both functions say so and write nothing. Nothing is ever
// written from an item that does not read as a pod, nor from a pod entry
// that does not read as a cartridge.
#include <cstdio>

#include "app/commands.h"
#include "app/state.h"
#include "runtime/pstate.h"
#include "cart/cart_env.h"
#include "cart/cart_png.h"
#include "cart/cart_text.h"
#include "cart/file_util.h"
#include "hardware/api/api.h"
#include "platform/paths.h"
#include "platform/pod.h"

const char* const orbo_demo_names[12] = {
    "hello.ob",   "shapes.ob", "sprites.ob", "tiles.ob",  "sound.ob",  "music.ob",
    "buttons.ob", "memory.ob", "text.ob",    "palette.ob", "camera.ob", "cdata.ob",
};

const char* const orbo_sample_game_ids[5] = {
    "orbo_sample_1", "orbo_sample_2", "orbo_sample_3", "orbo_sample_4", "orbo_sample_5",
};

namespace {
constexpr int k_demo_item = 3;
constexpr int k_games_item = 6;

// The data file's item as a pod, or none when it is absent or no pod.
kiln_pod_ptr data_item_pod(int item)
{
    const kiln_file* f = kiln_pod_file(shell.data.get(), item);
    if (!f || f->bytes.empty()) return nullptr;
    return kiln_load_pod_memory(f->bytes.data(), f->bytes.size());
}

bool reads_as_text_cart(const std::vector<uint8_t>& bytes)
{
    FILE* f = fmemopen(const_cast<uint8_t*>(bytes.data()), bytes.size(), "rb");
    if (!f) return false;
    bool ok = orbo_load_cart_from_file(f) != nullptr;
    fclose(f);
    return ok;
}

bool reads_as_png_cart(const std::vector<uint8_t>& bytes)
{
    return load_orbo_cart_png_from_memory(bytes.data(), bytes.size()) != nullptr;
}

// Appends text to a file by writing the whole new contents atomically.
bool append_file(const std::string& path, const std::vector<uint8_t>& text)
{
    std::vector<unsigned char> all;
    orbo_read_file(path, &all);
    if (!all.empty() && all.back() != '\n') all.push_back('\n');
    all.insert(all.end(), text.begin(), text.end());
    if (!all.empty() && all.back() != '\n') all.push_back('\n');
    return kiln_write_file_atomic(path, all.data(), all.size());
}
}  // namespace

int ob_install_demos(lua_State*)
{
    orbo_command_print("installing demo carts to /demos/", 14);
    kiln_pod_ptr pod = data_item_pod(k_demo_item);
    int written = 0;
    if (pod) {
        std::string folder = pstate.cart_root + "demos/";
        kiln_make_folder(folder);
        int n = std::min(kiln_pod_count(pod.get()), 12);
        for (int i = 0; i < n; i++) {
            const kiln_file* f = kiln_pod_file(pod.get(), i);
            if (!f || !reads_as_text_cart(f->bytes)) continue;
            if (!kiln_write_file_atomic(folder + orbo_demo_names[i], f->bytes.data(), f->bytes.size())) continue;
            orbo_command_print(orbo_demo_names[i], 6);
            written++;
        }
    }
    if (written == 0) orbo_command_print("no demo carts in data file", 6);
    return 0;
}

int ob_install_games(lua_State*)
{
    kiln_pod_ptr pod = data_item_pod(k_games_item);
    const kiln_file* list = pod ? kiln_pod_file(pod.get(), 0) : nullptr;
    if (!list) {
        orbo_command_print("no sample games in data file", 6);
        return 0;
    }
    std::string favourites = orbo_cart_root_path("favourites.txt");
    if (!append_file(favourites, list->bytes)) {
        orbo_command_print("could not write favourites", 6);
        return 0;
    }
    std::string carts = orbo_cart_root_path("bbs/carts/");
    kiln_make_folder(orbo_cart_root_path("bbs/"));
    kiln_make_folder(carts);
    int n = std::min(kiln_pod_count(pod.get()) - 1, 5);
    for (int i = 0; i < n; i++) {
        const kiln_file* f = kiln_pod_file(pod.get(), i + 1);
        if (!f || !reads_as_png_cart(f->bytes)) continue;
        std::string path = carts + orbo_sample_game_ids[i] + ".ob.png";
        kiln_write_file_atomic(path, f->bytes.data(), f->bytes.size());
    }
    std::vector<unsigned char> back;
    if (!orbo_read_file(favourites, &back)) {
        orbo_command_print("could not read favourites", 6);
        return 0;
    }
    orbo_command_print("installed sample games", 6);
    orbo_command_print("to scout favourites", 6);
    return 0;
}
