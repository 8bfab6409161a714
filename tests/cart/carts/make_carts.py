#!/usr/bin/env python3
"""Writes the test cartridges of this folder. Canonical carts are exactly what
the writer produces for them, so load -> save reproduces them byte for byte."""
import random

HEAD = "orbo cartridge // https://hearthware.net/orbo\n"
rng = random.Random(1234)


def hexrow(vals, width=1):
    return "".join(("%0" + str(width) + "x") % v for v in vals)


def sfx_line(mode, speed, ls, le, notes):
    s = "%02x%02x%02x%02x" % (mode, speed, ls, le)
    for (p, w, v, e) in notes:
        s += "%02x%x%x%x" % (p, w, v, e)
    return s


def write(name, text):
    with open(name, "w", newline="") as f:
        f.write(text)


# full.ob: every section, canonical.
code = ("-- full test cart\n-- every section\nfunction _draw()\n cls(1)\n print(\"\u2588\u2592\U0001F431 x\")\n"
        " spr(0,8,8) -- \u2b07\ufe0f\u2b05\ufe0f\U0001F17E\ufe0f\u27a1\ufe0f\u2b06\ufe0f\nend\n\n\tx=[[ tab ]]")
t = HEAD + "version 15\n__lua__\n" + code + "\n"
t += "__gfx__\n"
for y in range(70):
    t += hexrow([rng.randrange(16) for _ in range(128)]) + "\n"
t += "__label__\n"
for y in range(128):
    t += hexrow([(x // 8 + y // 8) % 16 for x in range(128)]) + "\n"
t += "\n__gff__\n"
for line in range(2):
    t += hexrow([rng.randrange(256) if rng.random() < 0.3 else 0 for _ in range(128)], 2) + "\n"
t += "__map__\n"
for y in range(20):
    t += hexrow([rng.randrange(256) for _ in range(128)], 2) + "\n"
t += "__sfx__\n"
for n in range(12):
    notes = [(rng.randrange(64), rng.randrange(16), rng.randrange(8), rng.randrange(8)) for _ in range(32)]
    t += sfx_line(rng.randrange(3), rng.randrange(1, 40), rng.randrange(32), rng.randrange(32), notes) + "\n"
t += "__music__\n"
for p in range(9):
    t += "%02x %02x%02x%02x%02x\n" % (rng.randrange(8), rng.randrange(128), rng.randrange(128),
                                      rng.randrange(128), rng.randrange(128))
t += "\n"
write("full.ob", t)

# empty.ob: what an empty cartridge saves as.
write("empty.ob", HEAD + "version 15\n__lua__\n\n")

# mark_pixel.ob: the sprite-0 mark plus one pixel in row 9.
t = HEAD + "version 15\n__lua__\nprint(1)\n__gfx__\n"
for y in range(10):
    row = [0] * 128
    if 2 <= y <= 5:
        row[y] = 7
        row[7 - y] = 7
    if y == 9:
        row[100] = 3
    t += hexrow(row) + "\n"
write("mark_pixel.ob", t)

# inuse.ob: sfx 0 at speed 16 differs from its default 1; sfx 1..2 default but
# below a used sfx 3; pattern 5 differs from the default only in channel 3.
t = HEAD + "version 15\n__lua__\n\n__sfx__\n"
t += sfx_line(0, 16, 0, 0, [(0, 0, 0, 0)] * 32) + "\n"
t += sfx_line(0, 16, 0, 0, [(0, 0, 0, 0)] * 32) + "\n"
t += sfx_line(0, 16, 0, 0, [(0, 0, 0, 0)] * 32) + "\n"
t += sfx_line(0, 16, 0, 0, [(0, 8, 0, 0)] + [(0, 0, 0, 0)] * 31) + "\n"
t += "__music__\n"
for p in range(5):
    t += "00 41424344\n"
t += "00 41424304\n\n"
write("inuse.ob", t)

# glyphs.ob: every glyph, and a lone U+1F17E without its variation selector.
glyphs = ("\u2588\u2592\U0001F431\u2b07\ufe0f\u2591\u273d\u25cf\u2665\u2609\uc6c3\u2302\u2b05\ufe0f\U0001F610"
          "\u266a\U0001F17E\ufe0f\u25c6\u2026\u27a1\ufe0f\u2605\u29d7\u2b06\ufe0f\u02c7\u2227\u274e\u25a4\u25a5")
write("glyphs.ob", HEAD + "version 15\n__lua__\ns=\"" + glyphs + "\"\nt=\"\U0001F17E lone\" -- \u00e9\n")

# crlf_v15.ob: CR LF and CR line ends, repeated headers that continue their
# section's line counter, upper-case digits in gfx (read as 0) and sfx (read).
t = "orbo cartridge\r\nversion 15\r\n__lua__\r\na=1\r__gfx__ ignored rest\r\n" + "1" * 128 + "\r\n"
t += "__lua__\r\nb=2\r\n__gfx__\r\n" + "2" * 64 + "AB" * 32 + "\r\n"
t += "__sfx__\r\n" + sfx_line(1, 0xAB, 0, 0, [(0x3F, 0xC, 0x7, 0x9)] * 32).upper() + "\r\n"
t += "__map__\r\n" + "0A" * 128 + "\r\n" + "ff" * 128 + "\r\nlast line without a break"
write("crlf_v15.ob", t)

# legacy_v2.ob: one hex digit per flag, music lines without flags, channel 00.
t = HEAD + "version 2\n__lua__\nx=1\n__gff__\n" + "3" * 128 + "\n" + "f" * 128 + "\n"
t += "__sfx__\n" + sfx_line(0, 8, 0, 0, [(24, 1, 5, 1)] + [(0, 0, 0, 0)] * 31) + "\n"
t += "__music__\n00010203\n41424344\n"
write("legacy_v2.ob", t)

# legacy_v4.ob: a pattern whose first non-looping channel is shorter than the
# longest, loud noise notes, the early title print, silent slides.
t = HEAD + "version 4\n__lua__\ncls()\nprint(\"orbo dash\",98,34,7)\n__sfx__\n"
t += sfx_line(0, 4, 0, 0, [(10, 6, 7, 0), (11, 6, 6, 0), (12, 6, 4, 0), (13, 1, 0, 1)] + [(0, 0, 0, 0)] * 28) + "\n"
t += sfx_line(0, 9, 0, 0, [(20, 2, 5, 0)] * 32) + "\n"
t += sfx_line(0, 12, 0, 8, [(30, 3, 5, 0)] * 32) + "\n"
t += "__music__\n00 00020141\n00 00014344\n\n"
write("legacy_v4.ob", t)

# legacy_v10.ob: an instrument note is a newer feature, so slides stay.
t = HEAD + "version 10\n__lua__\n\n__sfx__\n"
t += sfx_line(0, 16, 0, 0, [(13, 1, 0, 1), (14, 9, 3, 0)] + [(0, 0, 0, 0)] * 30) + "\n"
write("legacy_v10.ob", t)

# future.ob: a future version.
write("future.ob", HEAD + "version 16\n__lua__\nprint(1)\n")
