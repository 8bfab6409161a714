#include "cart/compress.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char k_table[] = "\n 0123456789abcdefghijklmnopqrstuvwxyz!#%(){}[]<>+=/*:;.,~_";
constexpr int k_table_len = 59;
constexpr int k_header = 8;
constexpr int k_window = 3120;
constexpr int k_max_match = 17;
constexpr int k_min_match = 3;
constexpr int k_hash_size = 8192;

struct literal_map {
    uint8_t pos[256] = {};
    constexpr literal_map()
    {
        for (int i = 0; i < k_table_len; i++) pos[uint8_t(k_table[i])] = uint8_t(i + 1);
    }
};
constexpr literal_map k_literals;

// The tails the decoder removes: the old 60 fps shims older tools appended.
const char* const k_tails[] = {
    "if(_update60)_update=function()_update60()_update60()end",
    "if(_update60)_update=function()_update60()_update_buttons()_update60()end",
};

int hash3(const uint8_t* t, int i) { return (t[i] * 7 + t[i + 1] * 1503 + t[i + 2] * 51717) & (k_hash_size - 1); }

// The longest earlier block equal to the text at i, searched from the window
// start up to the last position registered under i's hash; the first of equal
// lengths wins. Returns the length (0 when there is none) and sets *from.
int find_repeatable_block(const uint8_t* t, int n, int i, const int* table, int* from)
{
    int longest = std::min(n - i, k_max_match);
    int window = std::min(i, k_window);
    if (longest < k_min_match || window < k_min_match) return 0;
    int start = i - window;
    int last = table[hash3(t, i)];
    if (last < start) return 0;
    int best = 0;
    for (int q = start; q <= last; q++) {
        if (t[q] != t[i]) continue;
        int limit = std::min(longest, i - q);
        int k = 1;
        while (k < limit && t[q + k] == t[i + k]) k++;
        if (k > best) {
            best = k;
            *from = q;
            if (best == longest) break;
        }
    }
    return best;
}

}  // namespace

namespace {
std::vector<uint8_t> compress_tokens(std::string_view text, bool give_up_when_longer)
{
    const auto* t = reinterpret_cast<const uint8_t*>(text.data());
    int n = int(text.size());
    std::vector<uint8_t> out = {':', 'c', ':', 0, uint8_t((n >> 8) & 0xff), uint8_t(n & 0xff), 0, 0};
    out.reserve(size_t(n) + k_header);
    std::vector<int> table(k_hash_size, -1);
    int i = 0;
    while (i < n) {
        int from = 0;
        int len = find_repeatable_block(t, n, i, table.data(), &from);
        int old = i;
        if (len >= k_min_match) {
            int offset = i - from;
            out.push_back(uint8_t(60 + offset / 16));
            out.push_back(uint8_t((len - 2) << 4 | (offset % 16)));
            i += len;
        } else {
            uint8_t c = t[i];
            if (k_literals.pos[c]) {
                out.push_back(k_literals.pos[c]);
            } else {
                out.push_back(0);
                out.push_back(c);
            }
            i++;
        }
        for (int j = std::max(old - 2, 0); j <= i - 3; j++) table[size_t(hash3(t, j))] = j;
        if (give_up_when_longer && out.size() >= size_t(n)) break;  // the plain text wins
    }
    return out;
}
}  // namespace

std::vector<uint8_t> compress_mini_forced(std::string_view text) { return compress_tokens(text, false); }

std::vector<uint8_t> compress_mini(std::string_view text)
{
    std::vector<uint8_t> out = compress_tokens(text, true);
    if (out.size() >= text.size()) return std::vector<uint8_t>(text.begin(), text.end());
    return out;
}

int compress_mini(const char* text, uint8_t* out, int length)
{
    std::vector<uint8_t> c = compress_mini(std::string_view(text, size_t(length)));
    if (!c.empty()) memcpy(out, c.data(), c.size());
    return int(c.size());
}

bool is_compressed_code(const uint8_t* in, size_t in_len) { return in_len >= 1 && in[0] == ':'; }

int decompress_mini(const uint8_t* in, size_t in_len, char* out, int capacity)
{
    memset(out, 0, size_t(capacity) + 1);
    if (in_len < k_header) return 0;
    int stored = in[4] << 8 | in[5];
    if (stored > capacity) return 1;
    int len = 0;
    size_t p = k_header;
    while (len < stored && p < in_len) {
        int b = in[p++];
        if (b == 0) {
            if (p >= in_len) break;
            out[len++] = char(in[p++]);
        } else if (b <= k_table_len) {
            out[len++] = k_table[b - 1];
        } else {
            if (p >= in_len) break;
            int b2 = in[p++];
            int offset = (b - 60) * 16 + (b2 & 15);
            int count = (b2 >> 4) + 2;
            if (offset == 0 || offset > len) break;  // reaches before the text: end of valid data
            for (int k = 0; k < count && len < stored; k++, len++) out[len] = out[len - offset];
        }
    }
    for (const char* tail : k_tails) {
        int tl = int(strlen(tail));
        if (len >= tl && memcmp(out + len - tl, tail, size_t(tl)) == 0) {
            len -= tl;
            memset(out + len, 0, size_t(tl));
            break;
        }
    }
    return len;
}
