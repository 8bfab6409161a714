// Shared pieces of the shell tests: a synthetic console font (every glyph a
// solid 3x5 block, space blank) and a data file written to a folder that
// stands for the executable's.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/font.h"
#include "platform/pod.h"

inline kiln_font_ptr block_font()
{
    auto f = std::make_unique<kiln_font>();
    f->first = 32;
    f->last = 126;
    f->spacing = 1;
    f->height = 5;
    for (int c = f->first; c <= f->last; c++) {
        kiln_bitmap_ptr g = kiln_create_bitmap(3, 5, 8);
        if (c != ' ')
            for (uint8_t& p : g->pixels) p = 1;
        f->glyphs.push_back(std::move(g));
    }
    return f;
}

inline std::string fresh_dir(const std::string& name)
{
    std::string d = testing::TempDir() + name + std::to_string(getpid());
    std::filesystem::remove_all(d);
    std::filesystem::create_directories(d);
    return d + "/";
}

// data.pod: 0 a text cart, 1 resources (1 palette, 2 logo 40x10 of colour 9,
// 4 title), 2 the block font, and optionally 3 a head cart image of
// head_size bytes (all zero: an empty cartridge when it is 32 KiB long).
inline void write_data_pod(const std::string& folder, bool with_head_cart, size_t head_size = 0x8000)
{
    kiln_pod_ptr res = kiln_create_pod("resources");
    kiln_pod_add_bytes(res.get(), "unused", "", 0);
    auto pal = std::make_unique<kiln_palette>();
    for (int i = 0; i < 768; i++) pal->rgb[i] = uint8_t(i * 7);
    kiln_pod_add_palette(res.get(), std::move(pal));
    kiln_bitmap_ptr logo = kiln_create_bitmap(40, 10, 8);
    for (uint8_t& p : logo->pixels) p = 9;
    kiln_pod_add_bitmap(res.get(), std::move(logo));
    kiln_pod_add_bytes(res.get(), "unused", "", 0);
    kiln_pod_add_bytes(res.get(), "title", "test title", 10);
    std::vector<uint8_t> res_bytes, font_bytes, data_bytes;
    ASSERT_TRUE(kiln_write_pod(res.get(), false, &res_bytes));
    kiln_font_ptr f = block_font();
    kiln_pod_ptr font = kiln_font_to_pod(f.get());
    ASSERT_TRUE(kiln_write_pod(font.get(), false, &font_bytes));

    kiln_pod_ptr data = kiln_create_pod("data");
    kiln_pod_add_bytes(data.get(), "boot", "__lua__\n", 8);
    kiln_pod_add_bytes(data.get(), "resources", res_bytes.data(), res_bytes.size());
    kiln_pod_add_bytes(data.get(), "font", font_bytes.data(), font_bytes.size());
    if (with_head_cart) {
        std::vector<uint8_t> image(head_size, 0);
        kiln_pod_add_bytes(data.get(), "head", image.data(), image.size());
    }
    ASSERT_EQ(kiln_save_pod(data.get(), (folder + "data.pod").c_str(), true), 0);
}
