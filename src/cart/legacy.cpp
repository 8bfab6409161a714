#include "cart/legacy.h"

#include <algorithm>

#include "cart/cart_env.h"

const char orbo_legacy_api_trigger[] = "print(\"orbo dash\",98,34,7)";

const char orbo_legacy_api_block[] =
    "--------------------------------\n-- legacy 0.1.1 api injected\n--------------------------------\n"
    "\tfunction _validate(c) if (c._num==nil) then local i=0 while(c[i+1]~=nil) do i=i+1 end c._num=i c._max=i "
    "\tc._min=i+1 c._num = i c._ci = i end end \tfunction foreach(c, f) if (c == nil) then return end "
    "_validate(c) if (c._max == nil) then return end for i=1,c._max do if (c[i] ~= nil) then c._ci = i f(c[i]) "
    "end end end function all(c) if (c == nil) then return function() end end _validate(c) local i=0 return "
    "function() i=i+1 while (c[i]==nil and i<c._max) do i=i+1 end if (c[i] ~= nil) then c._ci=i return c[i] end "
    "end end function add(c, i) if (c == nil) then return end _validate(c) for j=c._min,c._max+1 do if (c[j] == "
    "nil) then c._max = max(c._max,j) c._min = j+1 c._num = c._num+1 c[j]=i return i end end end function "
    "count(c) if (c == nil) then return 0 end _validate(c) return c._num end function del(c,i) if (c == nil) then "
    "return end _validate(c) if (i==nil) then return end if (c._ci==i) then c[c._ci]=nil c._min=min(c._min, "
    "c._ci) c._num=c._num-1 return else for j=1,c._max do if (c[j]==i) then c[j]=nil c._min=min(c._min,j) "
    "c._num=c._num-1 return end end end while (c._max>1 and c[c._max]==nil) do c._max=c._max-1 end end  "
    "nd=0\n--------------------------------\n\n";

namespace {

bool channel_enabled(int v) { return v >= 0 && v < 64; }

struct channel_info {
    bool enabled, loops;
    int length;
};

channel_info info_of(const orbo_cart* cart, int v)
{
    if (!channel_enabled(v)) return {false, false, 0};
    const orbo_sfx& s = cart->sfx[v];
    return {true, s.loop_end > s.loop_start, std::max(s.speed, 1) * 32};
}

// Before version 5 the longest channel set a pattern's length; since then the
// first non-looping one does. Moving the longest non-looping channel to
// channel 0 keeps old songs in time.
void fix_pattern_lengths(orbo_cart* cart)
{
    for (int p = 0; p < 64; p++) {
        channel_info ch[4];
        for (int k = 0; k < 4; k++) ch[k] = info_of(cart, cart->music[p][k]);
        int first = -1, longest = 0;
        for (int k = 0; k < 4; k++) {
            if (!ch[k].enabled) continue;
            if (first < 0 && !ch[k].loops) first = k;
            longest = std::max(longest, ch[k].length);
        }
        if (first < 0 || ch[first].length == longest) continue;
        for (int k = 1; k < 4; k++)
            if (ch[k].enabled && !ch[k].loops && ch[k].length == longest) {
                std::swap(cart->music[p][0], cart->music[p][k]);
                orbo_cart_printf(6, "legacy: pat %d swap chan: %d %d", p, 0, k);
                break;
            }
    }
}

void quieten_noise(orbo_cart* cart)
{
    for (auto& s : cart->sfx)
        for (auto& n : s.notes)
            if (n.waveform == 6 && (n.volume == 6 || n.volume == 7)) n.volume = 5;
}

void inject_old_api(orbo_cart* cart)
{
    if (cart->code.find(orbo_legacy_api_trigger) == std::string::npos) return;
    cart->code.insert(0, orbo_legacy_api_block);
    orbo_cart_print("legacy: 0.1.1 api injected", 6);
}

// Without any newer-format feature, a slide at volume 0 was silent.
void drop_silent_slides(orbo_cart* cart)
{
    int features = 0;
    for (const auto& s : cart->sfx) {
        features += (s.mode >= 2) + (s.loop_start >= 64) + (s.loop_end >= 64);
        for (const auto& n : s.notes) features += n.instrument != 0;
    }
    if (features) return;
    for (auto& s : cart->sfx)
        for (auto& n : s.notes)
            if (n.effect == 1 && n.volume == 0) n.effect = 0;
}

}  // namespace

void apply_legacy_changes(orbo_cart* cart)
{
    if (cart->version <= 4) {
        fix_pattern_lengths(cart);
        quieten_noise(cart);
        inject_old_api(cart);
    }
    if (cart->version <= 10) drop_silent_slides(cart);
    cart->version = ORBO_CART_VERSION;
}
