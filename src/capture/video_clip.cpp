#include "capture/video_clip.h"

#include <algorithm>
#include <cstring>
#include <new>

int video_clip_capacity(int gif_len)
{
    if (gif_len == 0) return 0;
    // Clamped before multiplying so that no setting overflows.
    int seconds = std::clamp(gif_len, 1, ORBO_CLIP_MAX_FRAMES / ORBO_CLIP_FPS);
    return std::clamp(seconds * ORBO_CLIP_FPS, ORBO_CLIP_MIN_FRAMES, ORBO_CLIP_MAX_FRAMES);
}

namespace {

bool allocate_ring(video_clip& clip, int capacity)
{
    // Left uninitialised: only slots below video_clip_index are ever read,
    // and pages of the large block are committed as frames reach them.
    clip.storage.reset(new (std::nothrow) uint8_t[size_t(capacity) * ORBO_CLIP_FRAME_BYTES]);
    if (!clip.storage) return false;
    clip.slots.resize(size_t(capacity));
    for (int i = 0; i < capacity; i++) clip.slots[size_t(i)] = clip.storage.get() + size_t(i) * ORBO_CLIP_FRAME_BYTES;
    clip.video_clip_index = 0;
    return true;
}

}  // namespace

bool record_video_frame(video_clip& clip, const kiln_bitmap& frame, int gif_len)
{
    int capacity = video_clip_capacity(gif_len);
    if (capacity == 0) return false;
    if (frame.w != ORBO_CLIP_W || frame.h != ORBO_CLIP_H || frame.depth != 8 ||
        frame.pixels.size() < size_t(ORBO_CLIP_FRAME_BYTES))
        return false;
    if (clip.slots.empty() && !allocate_ring(clip, capacity)) return false;

    int last = clip.capacity() - 1;
    memcpy(clip.slots[size_t(clip.video_clip_index)], frame.pixels.data(), ORBO_CLIP_FRAME_BYTES);
    if (clip.video_clip_index < last)
        clip.video_clip_index++;
    else
        std::rotate(clip.slots.begin(), clip.slots.begin() + 1, clip.slots.end());
    return true;
}

void reset_video(video_clip& clip) { clip.video_clip_index = 0; }
