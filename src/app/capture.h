// The shell's side of capture: the ring of recorded frames it owns, the
// capture keys polled every update, and the glitch test's screenshots.
#pragma once

// Records the capture copy of the back page into the ring (the caller skips
// every second update of a 60 fps program, so the ring holds 30 frames a
// second of play).
void orbo_record_video_frame();
// Screenshot, video starting point, GIF: what the keys of this update ask
// for, each answered on the message bar.
void orbo_capture_keys();
// A screenshot of the screen as shown (the glitch test's record).
void orbo_glitch_screenshot();
