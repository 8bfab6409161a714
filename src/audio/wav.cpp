// WAV files of rendered sound: RIFF, one "fmt " chunk (PCM, 1 channel,
// 22,050 Hz, 16 bits) and one "data" chunk, all little-endian.
#include <cstdio>

#include "audio/audio.h"
#include "audio/synth.h"

namespace {
void put16(uint8_t* b, uint32_t v)
{
    b[0] = uint8_t(v);
    b[1] = uint8_t(v >> 8);
}
void put32(uint8_t* b, uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b + 2, v >> 16);
}
void put_tag(uint8_t* b, const char* tag)
{
    for (int i = 0; i < 4; i++) b[i] = uint8_t(tag[i]);
}
}  // namespace

std::vector<uint8_t> orbo_wav_bytes(const int16_t* samples, size_t count)
{
    // The RIFF sizes are 32-bit: a longer recording is cut at the last whole
    // sample that fits.
    const size_t max_samples = (0xffffffffu - 36u) / 2u;
    if (count > max_samples) count = max_samples;
    const uint32_t data_bytes = uint32_t(count * 2);
    std::vector<uint8_t> b(44 + size_t(data_bytes));
    uint8_t* h = b.data();
    put_tag(h, "RIFF");
    put32(h + 4, 36 + data_bytes);
    put_tag(h + 8, "WAVE");
    put_tag(h + 12, "fmt ");
    put32(h + 16, 16);                   // chunk size
    put16(h + 20, 1);                    // PCM
    put16(h + 22, 1);                    // channels
    put32(h + 24, ORBO_AUDIO_RATE);      // sample rate
    put32(h + 28, ORBO_AUDIO_RATE * 2);  // bytes per second
    put16(h + 32, 2);                    // block align
    put16(h + 34, 16);                   // bits per sample
    put_tag(h + 36, "data");
    put32(h + 40, data_bytes);
    for (size_t i = 0; i < count; i++) put16(h + 44 + 2 * i, uint16_t(samples[i]));
    return b;
}

bool orbo_write_wav(const char* path, const int16_t* samples, size_t count)
{
    if (!path || (!samples && count)) return false;
    std::vector<uint8_t> b = orbo_wav_bytes(samples, count);
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

bool orbo_write_wav(const char* path, const std::vector<int16_t>& samples)
{
    return orbo_write_wav(path, samples.data(), samples.size());
}
