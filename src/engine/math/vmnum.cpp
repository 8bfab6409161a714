// Number rules of the virtual machine beyond plain arithmetic: the numeric
// for loop with its wrap guard, and which numbers are array keys.
#include "engine/math/fixed.h"

fix32 orbo_forprep(fix32 init, fix32 step)
{
    return fix_sub(init, step);
}

bool orbo_forloop(fix32* index, fix32 step, fix32 limit)
{
    const fix32 prev = *index;
    const fix32 next = fix_add(prev, step);
    if (step >= 0 && prev >= 0 && next <= 0) return false;
    if (step > 0 ? next > limit : next < limit) return false;
    *index = next;
    return true;
}

bool orbo_array_key(fix32 r, int32_t* slot)
{
    if (r < 0x10000 || r > 0x7fff0000 || (r & 0xffff) != 0) return false;
    *slot = r >> 16;
    return true;
}
