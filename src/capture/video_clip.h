// The ring of recorded frames that a GIF is made from: 128x128 display
// palette indices, one byte per pixel. Slots 0 .. index-1 hold the valid
// frames, oldest first. The storage for every slot is taken in one piece on
// the first recorded frame and kept until the clip is destroyed, so recording
// is one 16 KiB copy and never allocates afterwards.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"

constexpr int ORBO_CLIP_W = 128, ORBO_CLIP_H = 128;
constexpr int ORBO_CLIP_FRAME_BYTES = ORBO_CLIP_W * ORBO_CLIP_H;
constexpr int ORBO_CLIP_FPS = 30;
constexpr int ORBO_CLIP_MIN_FRAMES = 30, ORBO_CLIP_MAX_FRAMES = 3600;

struct video_clip {
    std::unique_ptr<uint8_t[]> storage;  // capacity frames, back to back
    std::vector<uint8_t*> slots;         // slot -> frame buffer in storage
    int video_clip_index = 0;            // valid frames; the slot written next
    int capacity() const { return int(slots.size()); }
};

// Ring capacity for a gif_len in seconds: gif_len x 30 clamped to 30..3600;
// 0 when gif_len is 0 (recording disabled).
int video_clip_capacity(int gif_len);

// Copies the 128x128 depth-8 bitmap into the ring. When the ring is full the
// slots rotate by one, so slots 0 .. capacity-2 stay the most recent frames in
// order and the oldest buffer takes the next frame. The capacity is fixed by
// gif_len at the first recorded frame. Returns false when nothing was recorded
// (gif_len 0, a bitmap of another size or depth, or no memory for the ring).
bool record_video_frame(video_clip& clip, const kiln_bitmap& frame, int gif_len);

// The next GIF starts from the next recorded frame.
void reset_video(video_clip& clip);
