// The numeric for loop's wrap guard and the array-key rule.
#include <gtest/gtest.h>

#include <vector>

#include "engine/math/fixed.h"

namespace {
constexpr fix32 I(int v) { return fix_from_int(v); }

// Runs for i = init, limit, step and returns the indices seen (at most cap).
std::vector<fix32> run(fix32 init, fix32 limit, fix32 step, size_t cap = 100000)
{
    std::vector<fix32> seen;
    fix32 i = orbo_forprep(init, step);
    while (seen.size() < cap && orbo_forloop(&i, step, limit)) seen.push_back(i);
    return seen;
}
}  // namespace

TEST(MathVmNum, ForLoop)
{
    std::vector<fix32> v = run(I(32760), I(32767), I(1));
    ASSERT_EQ(v.size(), 8u);  // ends although the index wraps
    EXPECT_EQ(v.front(), I(32760));
    EXPECT_EQ(v.back(), I(32767));
    EXPECT_TRUE(run(0, 0, 0).empty());
    EXPECT_EQ(run(I(1), I(3), I(1)), (std::vector<fix32>{I(1), I(2), I(3)}));
    EXPECT_EQ(run(I(3), I(1), I(-1)), (std::vector<fix32>{I(3), I(2), I(1)}));
    EXPECT_TRUE(run(I(3), I(1), I(1)).empty());
    EXPECT_EQ(run(0, I(1), 0x8000), (std::vector<fix32>{0, 0x8000, I(1)}));
    // A step of 0 from a negative start never ends by itself.
    EXPECT_EQ(run(I(-1), I(-5), 0, 50).size(), 50u);
    // Up to the largest value: the wrap to -32768 stops the loop.
    EXPECT_EQ(run(0x7ffffffe, 0x7fffffff, 1).size(), 2u);
    // Descending loops have no guard: below -32768 the index wraps to 32767,
    // which is still >= the limit, so the loop goes on.
    v = run(I(-32767), I(-32768), I(-1), 5);
    EXPECT_EQ(v, (std::vector<fix32>{I(-32767), I(-32768), I(32767), I(32766), I(32765)}));
}

// Only whole numbers from 1 up are array slots; the slot is left alone otherwise.
TEST(MathVmNum, ArrayKeys)
{
    int32_t slot = 0;
    EXPECT_TRUE(orbo_array_key(I(1), &slot));
    EXPECT_EQ(slot, 1);
    EXPECT_TRUE(orbo_array_key(I(32767), &slot));
    EXPECT_EQ(slot, 32767);
    slot = 99;
    for (fix32 key : {fix32(0), fix32(0x8000), I(1) + 1, I(-1), fix32(INT32_MIN), fix32(0x7fffffff)})
        EXPECT_FALSE(orbo_array_key(key, &slot)) << key;
    EXPECT_EQ(slot, 99);
}
