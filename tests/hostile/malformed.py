#!/usr/bin/env python3
"""Writes malformed cartridge files into a folder: text cartridges that are
empty, truncated, binary or oversized, and PNGs that do not decode, have the
wrong size, a deflate stream that inflates to 512 MiB, or a well-formed
image whose code block is garbage. With --list, prints each file name and
the exit status `orbo -x` must give for it (1: "could not load", 0: it
loads and runs, 1r: it loads and fails to compile)."""
import os
import random
import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)


def png(w, h, idat, colour=6):
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, colour, 0, 0, 0))
            + chunk(b'IDAT', idat) + chunk(b'IEND', b''))


def cart_png(block):
    """A 160x205 RGBA image carrying block in the low bits of its pixels."""
    rows = []
    for y in range(205):
        row = bytearray([0])
        for x in range(160):
            j = y * 160 + x
            b = block[j] if j < len(block) else 0
            row += bytes([0xfc | (b >> 4 & 3), 0xfc | (b >> 2 & 3), 0xfc | (b & 3), 0xfc | (b >> 6 & 3)])
        rows.append(bytes(row))
    return png(160, 205, zlib.compress(b''.join(rows)))


def data_block(code, version=15):
    return bytes(0x4300) + code[:0x3c00].ljust(0x3d00, b'\0') + bytes([version, 0, 1, 19, 108])


def files():
    rnd = random.Random(16)
    header = b'orbo cartridge // hostile\nversion 15\n'
    deflate = zlib.compressobj(9)
    bomb = b''.join(deflate.compress(b'\0' * (1 << 24)) for _ in range(32)) + deflate.flush()
    good = cart_png(data_block(b'print(1)'))
    return [
        ('empty.ob', '1', b''),
        ('magic.ob', '1', b'not a cartridge\n__lua__\nprint(1)\n'),
        ('binary.ob', '1', bytes(rnd.randrange(256) for _ in range(65536))),
        ('future.ob', '1', b'orbo cartridge // hostile\nversion 99999\n__lua__\n'),
        ('truncated.ob', '1r', header + b'__lua__\nfunction _upd\n'),
        ('unbroken.ob', '0', header + b'__lua__\nx=1\nfunction _upd'),
        ('longline.ob', '0', header + b'__lua__\n\n__gfx__\n' + b'7' * (8 << 20) + b'\n'),
        ('sections.ob', '0', header + b'__lua__\n__gfx__\n__map__\n__sfx__\n__music__\n__label__\n' * 20000),
        ('empty_png.ob.png', '1', b''),
        ('signature_png.ob.png', '1', b'\x89PNG\r\n\x1a\n'),
        ('cut_png.ob.png', '1', good[:len(good) // 2]),
        ('tiny_png.ob.png', '1', png(1, 1, zlib.compress(b'\0' * 5))),
        ('huge_png.ob.png', '1', png(100000, 100000, zlib.compress(b'\0' * 1000))),
        ('badzlib_png.ob.png', '1', png(160, 205, bytes(rnd.randrange(256) for _ in range(4096)))),
        ('bomb_png.ob.png', '1', png(160, 205, bomb)),
        ('palette_png.ob.png', '1', png(160, 205, zlib.compress(b'\0' * 205 * 161), colour=3)),
        ('future_png.ob.png', '1', cart_png(data_block(b'print(1)', version=200))),
        ('badcode_png.ob.png', '0', cart_png(data_block(b':c:\0\xff\xff\0\0' + bytes(rnd.randrange(256) for _ in range(15000))))),
        ('backref_png.ob.png', '0', cart_png(data_block(b':c:\0\xff\xff\0\0' + b'\xff\xff' * 7000))),
        ('plaincode_png.ob.png', '1r', cart_png(data_block(b'a' * 0x3c00))),
    ]


def main():
    if sys.argv[1] == '--list':
        for name, status, _ in files():
            print(name, status)
        print('folder.ob 1')
        return
    out = sys.argv[1]
    os.makedirs(os.path.join(out, 'folder.ob'), exist_ok=True)
    for name, _, data in files():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


main()
