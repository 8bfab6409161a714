// Helpers shared by the cartridge tests: the test cartridges, a scratch
// folder per test, whole-file reads and writes.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cart/cart.h"
#include "cart/cart_text.h"
#include <random>

namespace carttest {

inline std::string cart_path(const std::string& name) { return std::string(ORBO_SOURCE_DIR) + "/tests/cart/carts/" + name; }

inline std::string read_file(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

inline void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

// A fresh, empty folder for the current test, ending in '/'.
inline std::string scratch_dir()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path p = std::filesystem::path(ORBO_BINARY_DIR) / "cart_scratch" /
                              (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p.string() + "/";
}

inline orbo_cart_ptr load_text_string(const std::string& text)
{
    FILE* f = tmpfile();
    if (!f) return nullptr;
    fwrite(text.data(), 1, text.size(), f);
    rewind(f);
    orbo_cart_ptr c = orbo_load_cart_from_file(f);
    fclose(f);
    return c;
}

inline const char* all_carts[] = {"full.ob",        "empty.ob",    "mark_pixel.ob", "inuse.ob",     "glyphs.ob",
                                  "crlf_v15.ob",    "legacy_v2.ob", "legacy_v4.ob", "legacy_v10.ob"};
inline const char* canonical_carts[] = {"full.ob", "empty.ob", "mark_pixel.ob", "inuse.ob"};

}  // namespace carttest

inline bool orbo_file_exists_for_test(const std::string& p) { return std::filesystem::exists(p); }
