// Tables and the number rules only the virtual machine shows: array keys
// are the whole numbers 1..32767, '#' and traversal speak 16.16, 'for'
// loops stop on wrap-around.
#include "engine/lua/internal.h"
#include "vm_fixture.h"

namespace {
Table* global_table(vm_state& s, const char* name)
{
    lua_getglobal(s.L, name);
    Table* t = hvalue(s.L->top - 1);
    lua_pop(s.L, 1);
    return t;
}
}  // namespace

TEST(VmTable, ArrayKeysAreWholeNumbersAndEverythingElseHashes)
{
    vm_state s;
    ASSERT_EQ(s.run("t = {} t[1] = 'a' t[1.0] = 'b' t[2] = 'c' t[3] = 'd' "
                    "t[0] = 'z' t[0.5] = 'h' t[-1] = 'n' n = #t"), "");
    Table* t = global_table(s, "t");
    EXPECT_GE(t->sizearray, 3);
    EXPECT_EQ(s.number("n"), fix_from_int(3));  // '#' of a three-element sequence
    // t[1] and t[1.0] are one slot, in the array part.
    TValue k;
    setnvalue(&k, FIX_ONE);
    EXPECT_EQ(luaH_get(t, &k), &t->array[0]);
    EXPECT_STREQ(svalue(&t->array[0]), "b");
    // 0, 0.5 and -1 live in the hash part.
    for (fix32 key : {fix32(0), fix32(0x8000), fix_from_int(-1)}) {
        setnvalue(&k, key);
        const TValue* v = luaH_get(t, &k);
        ASSERT_FALSE(ttisnil(v));
        EXPECT_TRUE(v < t->array || v >= t->array + t->sizearray);
    }
}

TEST(VmTable, LengthAndTraversalUseShiftedKeys)
{
    vm_state s;
    ASSERT_EQ(s.run("t = {10, 20, 30, 40, 50} sum = 0 "
                    "for k, v in pairs(t) do sum = sum + k * 100 + v end "
                    "n = #t last = t[#t]"), "");
    EXPECT_EQ(s.number("n"), fix_from_int(5));
    EXPECT_EQ(s.number("last"), fix_from_int(50));
    EXPECT_EQ(s.number("sum"), fix_from_int(1500 + 150));
    lua_getglobal(s.L, "t");
    lua_pushnil(s.L);
    ASSERT_TRUE(lua_next(s.L, -2));
    EXPECT_EQ(lua_tonumber(s.L, -2), FIX_ONE);  // array key 1 comes back as 1 << 16
    lua_settop(s.L, 0);
}

TEST(VmTable, ArrayPartStopsAt32767)
{
    vm_state s;
    ASSERT_EQ(s.run("t = {} for i = 1, 32767 do t[i] = i end n = #t top = t[32767]"), "");
    EXPECT_EQ(s.number("n"), fix_from_int(32767));
    EXPECT_EQ(s.number("top"), fix_from_int(32767));
    EXPECT_LE(global_table(s, "t")->sizearray, 32768);
}

TEST(VmTable, NumericForRules)
{
    vm_state s;
    ASSERT_EQ(s.run("a = 0 for i = 32760, 32767 do a = a + 1 end "
                    "b = 0 for i = 0, 0, 0 do b = b + 1 end "
                    "c = 0 for i = 3, 1, -1 do c = c + i end "
                    "d = 0 for i = 0, 1, 0.25 do d = d + 1 end "
                    "e = 0 for i = -32768, -32766 do e = e + 1 end"), "");
    EXPECT_EQ(s.number("a"), fix_from_int(8));  // ends although the index wraps
    EXPECT_EQ(s.number("b"), 0);
    EXPECT_EQ(s.number("c"), fix_from_int(6));
    EXPECT_EQ(s.number("d"), fix_from_int(5));
    // -32768 - 1 wraps to 32767: the wrap guard ends this loop at once.
    EXPECT_EQ(s.number("e"), 0);
}

TEST(VmTable, ArithmeticOfTheVirtualMachine)
{
    vm_state s;
    ASSERT_EQ(s.run("a = 32767 + 1 c = 1 / 0 d = -1 / 0 e = 5 % -3 f = -5 % 3 "
                    "g = 2 ^ 15 h = 0.1 * 10 i = -(-32768) j = '10' + 5"), "");
    EXPECT_EQ(s.number("a"), fix32(0x80000000));
    EXPECT_EQ(s.number("c"), fix32(0x7fffffff));
    EXPECT_EQ(s.number("d"), fix32(0x80000001));
    EXPECT_EQ(s.number("e"), fix_from_int(2));
    EXPECT_EQ(s.number("f"), fix_from_int(1));
    EXPECT_EQ(s.number("g"), fix32(0x80000000));
    EXPECT_EQ(s.number("h"), 65530);
    EXPECT_EQ(s.number("i"), fix32(0x80000000));
    EXPECT_EQ(s.number("j"), fix_from_int(15));
}

TEST(VmTable, ConcatenationAndComparisonOfNumbers)
{
    vm_state s;
    ASSERT_EQ(s.run("print(1 .. '', 0.5 .. '|' .. -0.25, 1/3 .. '', 32767.99998 .. '') "
                    "print(1 < 2, '10' < '9', 2 == 2.0, '1' == 1)"), "");
    EXPECT_EQ(s.out, "1\t0.5|-0.25\t0.3333\t32768\ntrue\ttrue\ttrue\tfalse\n");
}

// The loop and key rules of the virtual machine agree with the number
// module's reference functions over a grid of edge values.
TEST(VmTable, LoopAndKeyRulesMatchTheNumberModule)
{
    const fix32 values[] = {fix32(0x80000000), fix_from_int(-32767), fix_from_int(-2), -FIX_ONE, -0x8000, -1, 0, 1,
                            0x8000, FIX_ONE, fix_from_int(2), fix_from_int(3), fix_from_int(32760),
                            fix_from_int(32766), fix_from_int(32767), fix32(0x7fffffff)};
    vm_state s;
    ASSERT_EQ(s.run("function count(a, b, c) local n = 0 for i = a, b, c do n = n + 1 if n > 40 then break end end return n end"), "");
    for (fix32 init : values)
        for (fix32 limit : values)
            for (fix32 step : {fix32(0), FIX_ONE, -FIX_ONE, 0x8000, fix_from_int(-7), fix_from_int(16384)}) {
                int expected = 0;
                fix32 index = orbo_forprep(init, step);
                while (expected <= 40 && orbo_forloop(&index, step, limit)) expected++;
                lua_getglobal(s.L, "count");
                lua_pushnumber(s.L, init);
                lua_pushnumber(s.L, limit);
                lua_pushnumber(s.L, step);
                ASSERT_EQ(lua_pcall(s.L, 3, 1, 0), LUA_OK);
                EXPECT_EQ(lua_tonumber(s.L, -1), fix_from_int(expected < 41 ? expected : 41))
                    << init << " " << limit << " " << step;
                lua_pop(s.L, 1);
            }
    for (fix32 r : values) {
        int32_t a = -1;
        int k = -1;
        EXPECT_EQ(orbo_array_key(r, &a), luaH_arraykey(r, &k)) << r;
        if (luaH_arraykey(r, &k)) {
            EXPECT_EQ(a, k);
        }
    }
}

// The inline array path at the 16.16 wrap: with an array part of 32768
// slots (sized from 16385 and more keys), the key -32768 (raw 0x80000000)
// must still miss the array; 32767 + 1 wraps to that key; fractions next to
// array keys hash; a key of 0.99998 is not slot 1.
TEST(VmTable, InlineArrayPathAtTheWrap)
{
    vm_state s;
    ASSERT_EQ(s.run("t = {} for i = 1, 20000 do t[i] = i end "
                    "big = 32767 + 1 t[big] = 'wrapped' "
                    "a = t[-32768] b = t[32767] c = t[1] d = t[20000] e = t[20001] "
                    "t[1.5] = 'half' f = t[1.5] g = t[1] "
                    "h = t[0x0.ffff] t[0x0.ffff] = 'below one' k = t[1] "
                    "n = 0 for key, v in pairs({[-32768] = 1, [32767] = 2, [1] = 3}) do n = n + v end"),
              "");
    EXPECT_EQ(global_table(s, "t")->sizearray, 32768);
    lua_getglobal(s.L, "a");
    EXPECT_STREQ(lua_tostring(s.L, -1), "wrapped");
    lua_pop(s.L, 1);
    EXPECT_EQ(s.run("assert(b == nil and c == 1 and d == 20000 and e == nil)"), "");
    EXPECT_EQ(s.run("assert(f == 'half' and g == 1 and h == nil and k == 1)"), "");
    EXPECT_EQ(s.number("n"), fix_from_int(6));
}
