#include <cstring>
#include <filesystem>

#include "cart/cart_env.h"
#include "cart/cart_file.h"
#include "cart/cart_image.h"
#include "cart/cart_partial.h"
#include "cart/cart_png.h"
#include "cart/code_tabs.h"
#include "cart/embedded.h"
#include "cart/file_util.h"
#include "cart/rom.h"
#include "cart/vdisk.h"
#include "cart/working_cart.h"
#include "platform/log.h"
#include "platform/pod.h"
#include "test_util.h"

using namespace carttest;
namespace fs = std::filesystem;

namespace {

struct console_fake {
    std::vector<std::pair<std::string, int>> printed, messages;
    int hold = 0;
    uint8_t memory[0x8000] = {};
};
console_fake* g_fake = nullptr;

// A root folder with the console's folders, a fake console memory and
// captured output; a fresh working cartridge.
struct CartWorking : ::testing::Test {
    console_fake fake;
    std::string root;

    void SetUp() override
    {
        kiln_log_set_stdout(false);
        root = scratch_dir();
        for (const char* d : {"cstore", "backup", "bbs", "carts"}) fs::create_directories(root + d);
        g_fake = &fake;
        auto& env = orbo_cart_env_get();
        env.root = root;
        env.print = [](const char* t, int c) { g_fake->printed.emplace_back(t, c); };
        env.show_message = [](const char* t, int ms) { g_fake->messages.emplace_back(t, ms); };
        env.set_hold_frames = [](int f) { g_fake->hold = f; };
        env.live_peek = [](int a) { return a >= 0 && a < 0x8000 ? int(g_fake->memory[a]) : 0; };
        env.live_poke = [](int a, int v) {
            if (a >= 0 && a < 0x8000) g_fake->memory[a] = uint8_t(v);
        };
        orbo_working().cart = orbo_create_cart();
        orbo_working().filename.clear();
        orbo_working().hash = hash_cart(orbo_working().cart.get());
        orbo_last_partial_file().clear();
        orbo_reset_written_names();
        clear_embedded_carts();
    }
    void TearDown() override
    {
        orbo_cart_env_get() = orbo_cart_env();
        g_fake = nullptr;
        kiln_log_set_stdout(true);
    }
    bool printed(const std::string& text) const
    {
        for (auto& p : fake.printed)
            if (p.first == text) return true;
        return false;
    }
    bool shown(const std::string& text) const
    {
        for (auto& p : fake.messages)
            if (p.first == text) return true;
        return false;
    }
    static orbo_cart_ptr cart_with_code(const std::string& code)
    {
        orbo_cart_ptr c = orbo_create_cart();
        c->code = code;
        return c;
    }
};

}  // namespace

TEST(CartTabs, SplitAndJoin)
{
    orbo_code_tabs t;
    split_code_to_tabs(&t, "a\n-->8\n\n-->8\nc");
    EXPECT_EQ(t.tab[0], "a");
    EXPECT_EQ(t.tab[1], "");
    EXPECT_EQ(t.tab[2], "c");
    EXPECT_EQ(merge_code_from_tabs(t), "a\n-->8\n\n-->8\nc");
    // The current tab keeps its separators even when empty.
    t.tab[2].clear();
    t.current = 3;
    EXPECT_EQ(merge_code_from_tabs(t), "a\n-->8\n\n-->8\n\n-->8\n");
    // Past eight pieces the rest is dropped.
    std::string many;
    for (int i = 0; i < 10; i++) many += std::to_string(i) + "\n-->8\n";
    split_code_to_tabs(&t, many);
    EXPECT_EQ(t.tab[7], "7");
    t.current = 0;
    EXPECT_EQ(merge_code_from_tabs(t).substr(merge_code_from_tabs(t).size() - 1), "7");
    EXPECT_EQ(orbo_normalise_tabs("x\n-->8\n"), "x");
}

TEST(CartNames, InjectExtensionAndSplit)
{
    for (auto [in, out] : {std::pair{"game", "game.ob"}, {"x.png", "x.ob.png"}, {"a/b.ob", "a/b.ob"},
                           {"a/b.ob.png", "a/b.ob.png"}, {"dir.v2/x", "dir.v2/x.ob"}, {"x.txt", "x.txt.ob"}})
        EXPECT_EQ(inject_ob_extention(in), out) << in;
    orbo_path_parts p = orbo_split_path("/r/carts/x.ob.png");
    EXPECT_EQ(p.dir, "/r/carts/");
    EXPECT_EQ(p.base, "x");
    EXPECT_EQ(p.ext, ".ob.png");
}

TEST_F(CartWorking, LoadingTriesFourNamesEachAsPngAndText)
{
    std::string base = root + "carts/game";
    // Only "game.png" exists (a PNG cartridge): found by the fourth name.
    orbo_cart_ptr c = cart_with_code("-- png game\nprint(1)");
    ASSERT_EQ(save_orbo_cart_png(c.get(), (base + ".png").c_str()), 0);
    ASSERT_EQ(load_working_cart(base.c_str()), 0);
    EXPECT_EQ(orbo_working().filename, base + ".png");
    EXPECT_EQ(orbo_working().cart->code, "-- png game\nprint(1)");
    EXPECT_TRUE(orbo_working().cart->label);
    // "game.ob.png" holding a text cartridge is read as text, and wins over game.png.
    write_file(base + ".ob.png", "orbo cartridge\nversion 15\n__lua__\ntext inside\n");
    ASSERT_EQ(load_working_cart(base.c_str()), 0);
    EXPECT_EQ(orbo_working().filename, base + ".ob.png");
    EXPECT_EQ(orbo_working().cart->code, "text inside");
    // "game.ob" wins over both.
    write_file(base + ".ob", "orbo cartridge\nversion 4\n__lua__\nob\n");
    ASSERT_EQ(load_working_cart(base.c_str()), 0);
    EXPECT_EQ(orbo_working().filename, base + ".ob");
    EXPECT_EQ(orbo_working().cart->version, 15);  // converted
    // Nothing loads: the working cartridge and file name stay.
    EXPECT_EQ(load_working_cart((root + "carts/none").c_str()), 1);
    EXPECT_EQ(orbo_working().filename, base + ".ob");
    EXPECT_EQ(orbo_working().cart->code, "ob");
    // Loading prepares the shared half from the map when it is used.
    orbo_cart_ptr m = orbo_create_cart();
    cart_px(*m->gfx, 0, 64) = 3;
    write_file(root + "carts/m.ob", orbo_cart_to_text(m.get()));
    ASSERT_EQ(load_working_cart((root + "carts/m.ob").c_str()), 0);
    EXPECT_EQ(cart_px(*orbo_working().cart->map, 0, 32), 3);
}

TEST_F(CartWorking, SavingChecksSizesAndBacksUp)
{
    std::mt19937 rng(5);
    std::string big;
    for (int i = 0; i < 15361; i++) big += char('A' + rng() % 26);
    orbo_working().cart->code = big;
    orbo_split_working_tabs();
    std::string png = root + "carts/big.ob.png";
    EXPECT_EQ(save_working_cart(png.c_str()), 1);
    EXPECT_TRUE(printed("compressed code size too large\n"));
    EXPECT_TRUE(printed("15361 / 15360 bytes"));
    EXPECT_FALSE(fs::exists(png));
    // As text it saves anyway, with the warning.
    std::string ob = root + "carts/big";
    EXPECT_EQ(save_working_cart(ob.c_str()), 0);
    EXPECT_TRUE(printed("(saving .ob anyway)\n"));
    EXPECT_EQ(orbo_working().filename, ob + ".ob");
    EXPECT_TRUE(fs::exists(ob + ".ob"));
    // Over the size limit.
    orbo_working().cart->code = std::string(ORBO_CODE_MAX + 1, 'a');
    orbo_split_working_tabs();
    EXPECT_EQ(save_working_cart(ob.c_str()), 1);
    EXPECT_TRUE(printed("program over size limit\n"));
    // Saving under a new name over an existing file backs it up first.
    orbo_working().cart->code = "new";
    orbo_split_working_tabs();
    std::string other = root + "carts/other.ob";
    write_file(other, "old file");
    EXPECT_EQ(save_working_cart(other.c_str()), 0);
    EXPECT_EQ(read_file(root + "backup/other.ob"), "old file");
    EXPECT_TRUE(shown("** overwriting; saved backup **"));
    EXPECT_EQ(load_text_string(read_file(other))->code, "new");
    // A blank label warns on PNG saves.
    EXPECT_EQ(save_working_cart((root + "carts/small.png").c_str()), 0);
    EXPECT_TRUE(printed("warning: label is blank"));
    EXPECT_EQ(orbo_working().filename, root + "carts/small.ob.png");
    EXPECT_EQ(orbo_working().hash, hash_cart(orbo_working().cart.get()));
    // A failed write: message, result 1, file name unchanged, no temporary left.
    EXPECT_EQ(save_working_cart((root + "missing_dir/x.ob").c_str()), 1);
    EXPECT_TRUE(shown("** failed to save **"));
    EXPECT_EQ(orbo_working().filename, root + "carts/small.ob.png");
    for (const auto& e : fs::directory_iterator(root + "carts"))
        EXPECT_EQ(e.path().string().find(".tmp~"), std::string::npos) << e.path();
}

TEST_F(CartWorking, BackupWritesWorkingCartOrCopy)
{
    orbo_working().cart->code = "backup me";
    orbo_split_working_tabs();
    EXPECT_EQ(save_backup("", false), 0);
    EXPECT_EQ(load_text_string(read_file(root + "backup/untitled.ob"))->code, "backup me");
    EXPECT_EQ(save_backup("/x/y/pic.ob.png", false), 0);
    EXPECT_EQ(load_orbo_cart_png((root + "backup/pic.ob.png").c_str())->code, "backup me");
    write_file(root + "carts/big.ob", std::string(1048576 + 10, 'z'));
    EXPECT_EQ(save_backup((root + "carts/big.ob").c_str(), true), 0);
    EXPECT_EQ(fs::file_size(root + "backup/big.ob"), 1048576u);
    EXPECT_EQ(save_backup((root + "carts/nope.ob").c_str(), true), 1);
}

TEST_F(CartWorking, QuickSaveAndQuickLoad)
{
    do_quick_save();
    EXPECT_TRUE(shown("*** no filename. not saved! ***"));
    orbo_working().filename = root + "bbs/x.ob";
    do_quick_save();
    EXPECT_TRUE(shown("* can not overwrite bbs cart! *"));
    EXPECT_FALSE(fs::exists(root + "bbs/x.ob"));

    std::string path = root + "carts/q.ob";
    write_file(path, "orbo cartridge\nversion 15\n__lua__\nfirst\n");
    ASSERT_EQ(load_working_cart(path.c_str()), 0);
    // Unchanged file: nothing happens.
    fake.messages.clear();
    EXPECT_EQ(detect_external_changes(), 0);
    do_quick_load();
    EXPECT_TRUE(fake.messages.empty());
    // Changed on disk: replaced, file name kept.
    write_file(path, "orbo cartridge\nversion 15\n__lua__\nsecond\n");
    EXPECT_EQ(detect_external_changes(), 1);
    do_quick_load();
    EXPECT_TRUE(shown("loaded external changes"));
    EXPECT_EQ(orbo_working().cart->code, "second");
    EXPECT_EQ(orbo_working().filename, path);
    EXPECT_EQ(detect_external_changes(), 0);
    // The working cart changed in memory to what the file holds: nothing to load.
    orbo_working().cart->code = "third";
    write_file(path, "orbo cartridge\nversion 15\n__lua__\nthird\n");
    EXPECT_EQ(detect_external_changes(), 0);
    // Quick save writes under the current name.
    orbo_working().cart->code = "saved text";
    orbo_split_working_tabs();
    do_quick_save();
    EXPECT_TRUE(shown("saved q.ob\n"));
    EXPECT_EQ(load_text_string(read_file(path))->code, "saved text");
    EXPECT_EQ(detect_unsaved_changes(), 0);
}

TEST_F(CartWorking, CstoreWithoutNameSurvivesLoads)
{
    std::string path = root + "carts/keep.ob";
    write_file(path, "orbo cartridge\nversion 15\n__lua__\nkeep\n");
    ASSERT_EQ(load_working_cart(path.c_str()), 0);
    std::string hash = orbo_working().hash;
    fake.memory[0x3000] = 0x5a;
    fake.memory[0x3001] = 0xa5;
    EXPECT_EQ(orbo_script_cstore_file(0x3000, 0x3000, 2, nullptr), 2);
    std::string sandbox = root + "cstore/__" + hash + ".ob";
    EXPECT_TRUE(fs::exists(sandbox));
    EXPECT_EQ(orbo_working().cart->flags[0], 0x5a);
    EXPECT_EQ(fake.hold, 30);
    // Loading the same cartridge again shows the stored bytes in its ROM.
    ASSERT_EQ(load_working_cart(path.c_str()), 0);
    EXPECT_EQ(orbo_working().hash, hash);
    EXPECT_EQ(orbo_working().cart->flags[0], 0x5a);
    EXPECT_EQ(orbo_working().cart->flags[1], 0xa5);
    EXPECT_EQ(detect_external_changes(), 0);
}

TEST_F(CartWorking, FirstCstoreWithoutNameKeepsTheRestOfTheRom)
{
    // The sandbox file starts as the cartridge itself: a later load lays
    // the whole stored ROM over the cartridge, so an empty start would
    // wipe its sprites, map and sound.
    std::string path = root + "carts/art.ob";
    write_file(path, "orbo cartridge\nversion 15\n__lua__\nart\n__gfx__\n12\n");
    ASSERT_EQ(load_working_cart(path.c_str()), 0);
    ASSERT_EQ(orbo_rom_peek(orbo_working().cart.get(), 0), 0x21);
    fake.memory[0x4300] = 7;
    EXPECT_EQ(orbo_script_cstore_file(0x4200, 0x4300, 1, nullptr), 1);
    ASSERT_EQ(load_working_cart(path.c_str()), 0);
    EXPECT_EQ(orbo_rom_peek(orbo_working().cart.get(), 0), 0x21);
    EXPECT_EQ(orbo_rom_peek(orbo_working().cart.get(), 0x4200), 7);
}

TEST_F(CartWorking, CstoreAndReloadWithNames)
{
    for (int i = 0; i < 0x4300; i++) fake.memory[i] = uint8_t(i * 7);
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 0x4300, "data.ob"), 0x4300);
    orbo_cart_ptr stored = orbo_load_cart((root + "cstore/data.ob").c_str());
    ASSERT_TRUE(stored);
    EXPECT_EQ(orbo_rom_peek(stored.get(), 0x3100), uint8_t(0x3100 * 7));
    // The working cartridge is untouched by a named cstore.
    EXPECT_EQ(orbo_working().cart->flags[0], 0);
    memset(fake.memory, 0, sizeof fake.memory);
    orbo_last_partial_file().clear();
    fake.hold = 0;
    EXPECT_EQ(orbo_script_reload_file(0x100, 0x3000, 16, "/data.ob"), 16);
    EXPECT_EQ(fake.hold, 30);
    EXPECT_EQ(fake.memory[0x10f], uint8_t((0x3000 + 15) * 7));
    // The same file again does not hold again.
    fake.hold = 0;
    EXPECT_EQ(orbo_script_reload_file(0, 0, 1, "data.ob"), 1);
    EXPECT_EQ(fake.hold, 0);
    // PNG targets stay PNG.
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 64, "pic.ob.png"), 64);
    EXPECT_EQ(load_orbo_cart_png((root + "cstore/pic.ob.png").c_str())->gfx->pixels[1], 0);
    // A .bin file is a raw ROM image.
    std::string raw(0x4300, '\0');
    raw[0x3000] = char(0x42);
    write_file(root + "cstore/rom.bin", raw);
    EXPECT_EQ(orbo_script_reload_file(0x200, 0x3000, 1, "rom.bin"), 1);
    EXPECT_EQ(fake.memory[0x200], 0x42);
}

TEST_F(CartWorking, ScriptNamesStayInsideCstore)
{
    write_file(root + "secret.ob", "orbo cartridge\nversion 15\n__lua__\nsecret\n");
    for (const char* bad : {"__x.ob", "../secret.ob", "a/../../secret.ob", "..", "/../secret.ob", "", "a/.."}) {
        EXPECT_EQ(orbo_script_reload_file(0, 0, 16, bad), 0) << bad;
        EXPECT_EQ(orbo_script_cstore_file(0, 0, 16, bad), 0) << bad;
    }
    EXPECT_EQ(read_file(root + "secret.ob"), "orbo cartridge\nversion 15\n__lua__\nsecret\n");
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 16, std::string(512, 'n').c_str()), 0);
    // Inner ".." that stays inside is refused too: a ".." component never passes.
    fs::create_directories(root + "cstore/sub");
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 16, "sub/../x.ob"), 0);
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 16, "sub/x.ob"), 16);
    EXPECT_EQ(orbo_resolve_script_cart_name("/a.ob"), root + "cstore/a.ob");
}

TEST_F(CartWorking, TooManyCstoreNames)
{
    for (int i = 0; i < 256; i++) ASSERT_EQ(orbo_script_cstore_file(0, 0, 1, ("n" + std::to_string(i)).c_str()), 1) << i;
    EXPECT_EQ(cstore_cart_partial((root + "cstore/n256").c_str(), 0, 0, 1, false), 3);
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 1, "n256"), 0);
    // Names written before still work; a prefix of one does not count as written.
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 1, "n7"), 1);
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 1, "n2"), 1);
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 1, "n25"), 1);
    orbo_reset_written_names();
    EXPECT_EQ(orbo_script_cstore_file(0, 0, 1, "n256"), 1);
}

TEST(CartVdisk, FilesModesAndLimits)
{
    vdisk_clear();
    EXPECT_FALSE(orbo_fopen_vdisk("a.ob", "r"));
    FILE* w = orbo_fopen_vdisk("/some/dir/a.ob", "w");
    ASSERT_TRUE(w);
    EXPECT_TRUE(vdisk_file_owned(w));
    fputs("hello", w);
    fclose(w);
    FILE* r = orbo_fopen_vdisk("a.ob", "rb");
    ASSERT_TRUE(r);
    char buf[16] = {};
    EXPECT_EQ(fread(buf, 1, sizeof buf, r), 5u);
    EXPECT_STREQ(buf, "hello");
    fclose(r);
    EXPECT_FALSE(vdisk_file_owned(r));
    // Reopening for reading starts at the beginning; "w" empties.
    r = orbo_fopen_vdisk("x/a.ob", "r");
    EXPECT_EQ(fgetc(r), 'h');
    fclose(r);
    fclose(orbo_fopen_vdisk("a.ob", "w"));
    r = orbo_fopen_vdisk("a.ob", "r");
    EXPECT_EQ(fgetc(r), EOF);
    fclose(r);
    EXPECT_FALSE(orbo_fopen_vdisk("a.ob", "a"));
    EXPECT_FALSE(orbo_fopen_vdisk(std::string(64, 'k').c_str(), "w"));
    // orbo_fopen: the real file first, the virtual disk for reads only.
    EXPECT_TRUE(vdisk_file_exists("a.ob"));
    FILE* k = orbo_fopen("/nonexistent_dir/a.ob", "r");
    ASSERT_TRUE(k);
    fclose(k);
    EXPECT_FALSE(orbo_fopen("/nonexistent_dir/a.ob", "w"));
    // At most 512 files.
    vdisk_clear();
    for (int i = 0; i < ORBO_VDISK_FILES; i++) {
        FILE* f = orbo_fopen_vdisk(("f" + std::to_string(i)).c_str(), "w");
        ASSERT_TRUE(f) << i;
        fclose(f);
    }
    EXPECT_FALSE(orbo_fopen_vdisk("one_more", "w"));
    FILE* again = orbo_fopen_vdisk("f3", "w");
    EXPECT_TRUE(again);
    fclose(again);
    vdisk_clear();
}

TEST_F(CartWorking, HeadCartBootAndEmbeddedCarts)
{
    vdisk_clear();
    // No item 3.
    kiln_pod_ptr empty = kiln_create_pod("data");
    EXPECT_EQ(orbo_boot_head_cart(empty.get()), 1);
    EXPECT_TRUE(printed("head cart not found\n"));
    // Items 0..2 are other data; 3 the head cart; 4 and 5 embedded carts.
    kiln_pod_ptr pod = kiln_create_pod("data");
    for (int i = 0; i < 3; i++) kiln_pod_add_bytes(pod.get(), "x", "x", 1);
    std::vector<uint8_t> block(ORBO_32K_SIZE);
    orbo_cart_ptr game = cart_with_code("print(\"game\")");
    game->flags[9] = 9;
    orbo_cart_ptr head = cart_with_code("print(\"head\")"), other = cart_with_code("print(\"other\")");
    for (auto [name, c] : {std::pair{"head", head.get()}, {"game.ob", game.get()}, {"other.ob.png", other.get()}}) {
        ASSERT_EQ(save_orbo_cart_32k(c, block.data()), 0);  // the last image, "other", is booted below
        kiln_pod_add_bytes(pod.get(), name, block.data(), block.size());
    }
    ASSERT_EQ(orbo_boot_head_cart(pod.get()), 0);
    EXPECT_EQ(orbo_working().cart->code, "print(\"head\")");
    EXPECT_EQ(orbo_working().cart->version, 15);
    EXPECT_EQ(orbo_working().filename, root + "cstore/__" + orbo_working().hash + ".ob");
    const std::string head_name = orbo_working().filename, head_hash = orbo_working().hash;
    EXPECT_EQ(orbo_embedded_cart_count(), 2);
    std::string game_hash = get_embedded_cart_hash_for_filename("game.ob", false);
    EXPECT_EQ(game_hash.size(), 40u);
    EXPECT_EQ(get_embedded_cart_hash_for_filename("game", false), "");
    EXPECT_EQ(get_embedded_cart_hash_for_filename("game", true), game_hash);
    EXPECT_EQ(get_embedded_cart_hash_for_filename("other.png", true), get_embedded_cart_hash_for_filename("other.ob.png", false));
    EXPECT_EQ(get_embedded_cart_hash_for_filename("other", true), get_embedded_cart_hash_for_filename("other.ob.png", false));
    EXPECT_EQ(get_embedded_cart_filename_for_hash(game_hash.c_str()), "game.ob");
    EXPECT_EQ(get_embedded_cart_filename_for_hash("nope"), "");
    // An embedded cart loads from the virtual disk by name.
    ASSERT_EQ(load_working_cart("game"), 0);
    EXPECT_EQ(orbo_working().cart->code, "print(\"game\")");
    EXPECT_EQ(orbo_working().hash, game_hash);
    // The head cart has no file: a chain back names it by its booted name,
    // which gives it back as booted.
    ASSERT_FALSE(fs::exists(head_name));
    ASSERT_EQ(load_working_cart(head_name.c_str()), 0);
    EXPECT_EQ(std::tuple(orbo_working().cart->code, orbo_working().filename, orbo_working().hash, orbo_working().cart->version),
              std::tuple(std::string("print(\"head\")"), head_name, head_hash, 15));
    ASSERT_EQ(load_working_cart("game"), 0);
    // reload from an embedded cart without its sandboxed file reads the internal one.
    EXPECT_EQ(orbo_script_reload_file(0x10, 0x3009, 1, "game"), 1);
    EXPECT_EQ(fake.memory[0x10], 9);
    // cstore to it writes its sandboxed file, which reload then prefers.
    fake.memory[0x20] = 77;
    EXPECT_EQ(orbo_script_cstore_file(0x3009, 0x20, 1, "game.ob"), 1);
    EXPECT_TRUE(fs::exists(root + "cstore/__" + game_hash + ".ob"));
    EXPECT_EQ(orbo_script_reload_file(0x11, 0x3009, 1, "game.ob"), 1);
    EXPECT_EQ(fake.memory[0x11], 77);
    // At most 64 mounted.
    clear_embedded_carts();
    for (int i = 0; i < ORBO_EMBEDDED_MAX; i++)
        EXPECT_TRUE(mount_embedded_cart(game.get(), ("e" + std::to_string(i)).c_str()));
    EXPECT_FALSE(mount_embedded_cart(game.get(), "e64"));
    // Booting from an image alone; a short one is refused.
    EXPECT_FALSE(orbo_boot_head_cart_image(block.data(), 100));
    ASSERT_TRUE(orbo_boot_head_cart_image(block.data(), block.size()));
    EXPECT_EQ(orbo_working().cart->code, "print(\"other\")");
    orbo_mark_working_cart_graphics();
    EXPECT_EQ(cart_px(*orbo_working().cart->gfx, 5, 2), 7);
    clear_embedded_carts();
    vdisk_clear();
}

TEST_F(CartWorking, ShippedDataFileBootsTheHeadCart)
{
    std::string path = std::string(ORBO_BINARY_DIR) + "/data.pod";
    if (!fs::exists(path)) GTEST_SKIP() << "data.pod not built";
    kiln_pod_ptr pod = kiln_load_pod(path.c_str());
    ASSERT_TRUE(pod);
    const kiln_file* head = kiln_pod_file(pod.get(), 3);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->bytes.size(), size_t(ORBO_32K_SIZE));
    ASSERT_EQ(orbo_boot_head_cart(pod.get()), 0);
    orbo_cart_ptr source = orbo_load_cart((std::string(ORBO_SOURCE_DIR) + "/data/carts/launcher.ob").c_str());
    ASSERT_TRUE(source);
    EXPECT_EQ(orbo_working().cart->code, source->code);
    EXPECT_NE(orbo_working().cart->code.find("load(carts[sel][1],\"back to launcher\")"), std::string::npos);
    EXPECT_EQ(orbo_working().cart->gfx->pixels, source->gfx->pixels);
    EXPECT_EQ(orbo_working().cart->version, 15);
    vdisk_clear();
}

TEST(CartVdisk, PodReaderFallsBackToVirtualDisk)
{
    vdisk_clear();
    kiln_pod_ptr pod = kiln_create_pod("v");
    kiln_pod_add_bytes(pod.get(), "a", "abc", 3);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(kiln_write_pod(pod.get(), false, &bytes));
    FILE* f = orbo_fopen_vdisk("inner.pod", "w");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    orbo_install_vdisk_pod_reader();
    kiln_pod_ptr back = kiln_load_pod("/nowhere/inner.pod");
    ASSERT_TRUE(back);
    EXPECT_EQ(kiln_pod_file(back.get(), 0)->bytes.size(), 3u);
    kiln_set_pod_vdisk_reader(nullptr);
    vdisk_clear();
}

TEST_F(CartWorking, WritesReplaceFilesWhole)
{
    std::string path = root + "carts/atomic.ob";
    write_file(path, "orbo cartridge\nversion 15\n__lua__\nold\n");
    FILE* reader = fopen(path.c_str(), "rb");
    ASSERT_TRUE(reader);
    orbo_working().cart->code = std::string(50000, 'n');
    orbo_split_working_tabs();
    orbo_working().filename = path;
    ASSERT_EQ(save_working_cart(path.c_str()), 0);
    // A reader that opened the old file still sees all of it.
    char buf[256] = {};
    size_t n = fread(buf, 1, sizeof buf - 1, reader);
    fclose(reader);
    EXPECT_EQ(std::string(buf, n), "orbo cartridge\nversion 15\n__lua__\nold\n");
    EXPECT_EQ(load_text_string(read_file(path))->code.size(), 50000u);
    // New files get the usual permissions, not a temporary file's.
    auto perms = fs::status(path).permissions();
    EXPECT_NE(perms & fs::perms::owner_read, fs::perms::none);
    EXPECT_NE(perms & fs::perms::others_read, fs::perms::none);
    // A cstore target in a folder that does not exist fails with 2.
    EXPECT_EQ(cstore_cart_partial((root + "cstore/no/such/x.ob").c_str(), 0, 0, 4, false), 2);
}
