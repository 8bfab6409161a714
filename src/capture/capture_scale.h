// Integer nearest-neighbour enlargement shared by both capture formats.
#pragma once
#include <cstdint>

constexpr int ORBO_CAPTURE_MAX_SCALE = 32;

// A scale setting clamped to 1..32.
int capture_clamp_scale(int scale);

// dst[x] = map[src[x / scale]] for x below w x scale: one source row widened,
// each pixel passed through the byte map.
void capture_stretch_row(const uint8_t* src, int w, int scale, const uint8_t map[256], uint8_t* dst);
