// Golden images of the console screen: the 128x128 screen rendered through
// the display palette of data.pod, compared with a PNG in
// tests/hardware/golden/. ORBO_UPDATE_GOLDEN=1 writes the PNG instead; on a
// mismatch a diff image (differing pixels white on dimmed ones) is written
// beside the build and the check fails.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "platform/bitmap.h"
#include "platform/font.h"

namespace hwtest {

// The console font from the built data.pod (none when the file is missing).
const kiln_font* console_font();

::testing::AssertionResult matches_golden(const kiln_bitmap& screen, const std::string& name);

}  // namespace hwtest

#define EXPECT_GOLDEN(screen, name) EXPECT_TRUE(hwtest::matches_golden(screen, name))
