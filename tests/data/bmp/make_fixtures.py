#!/usr/bin/env python3
"""Writes the BMP fixtures of the gfx tests with ImageMagick's convert (run it in this folder).

The pictures are the ones the tests compute: "full" is the 7 x 5 picture with a different value in
every channel of every pixel, "pal16" uses 16 colours, "pal2" two.
"""
import struct
import subprocess


def ppm(name, w, h, f):
    with open(name, 'wb') as o:
        o.write(b'P6\n%d %d\n255\n' % (w, h))
        for y in range(h):
            for x in range(w):
                o.write(bytes(f(x, y)))


def c16(k):
    return (16 * k + 3, 255 - 16 * k, ((7 * k) % 16) * 16 + 8)


ppm('/tmp/full.ppm', 7, 5, lambda x, y: (10 + 30 * x + 2 * y, 5 + 40 * y + 3 * x, 251 - 20 * x - 11 * y))
ppm('/tmp/pal16.ppm', 7, 5, lambda x, y: c16((x + 3 * y) % 16))
ppm('/tmp/pal2.ppm', 13, 5, lambda x, y: (200, 30, 60) if (x * x + 2 * y) % 3 == 0 else (20, 90, 240))


def convert(src, out, *options):
    subprocess.run(['convert', src, *options, out], check=True)


convert('/tmp/full.ppm', 'BMP3:ok_full_24.bmp')
convert('/tmp/full.ppm', 'BMP:ok_full_24_v5.bmp')
convert('/tmp/full.ppm', 'BMP2:ok_full_24_core.bmp')
convert('/tmp/full.ppm', 'BMP3:ok_full_8.bmp', '-type', 'Palette', '-compress', 'None')
convert('/tmp/full.ppm', 'BMP3:ok_full_rle8.bmp', '-type', 'Palette', '-compress', 'RLE')
convert('/tmp/full.ppm', 'BMP:ok_full_565.bmp', '-define', 'bmp:subtype=RGB565')
convert('/tmp/full.ppm', 'BMP:ok_full_32_alpha.bmp', '-alpha', 'set', '-channel', 'A', '-evaluate',
        'set', '50%', '+channel')
convert('/tmp/pal16.ppm', 'BMP3:ok_pal16_4.bmp', '-type', 'Palette')
convert('/tmp/pal16.ppm', 'BMP2:ok_pal16_4_core.bmp', '-type', 'Palette')
convert('/tmp/pal2.ppm', 'BMP3:ok_pal2_1.bmp', '-type', 'Palette')

# Damaged copies of ok_full_24.bmp that must be refused.
good = open('ok_full_24.bmp', 'rb').read()


def damaged(name, data):
    with open(name, 'wb') as o:
        o.write(data)


damaged('bad_truncated_pixels.bmp', good[:100])
damaged('bad_huge_width.bmp', good[:18] + struct.pack('<i', 30000) + good[22:])
damaged('bad_offset_past_end.bmp', good[:10] + struct.pack('<I', 5000) + good[14:])
damaged('bad_header_size.bmp', good[:14] + struct.pack('<I', 64) + good[18:])
damaged('bad_inside_header.bmp', good[:30])
damaged('bad_signature.bmp', b'MB' + good[2:])

# An RLE8 file of 512 KB that declares 32768 x 32768 pixels: enough data per pixel to pass the
# RLE plausibility check (end-of-line marks, one per two bytes), but a bitmap of 3 GiB, far
# over what Zevo 3 decodes. Refused as too large before anything is allocated.
info = struct.pack('<IiiHHIIiiII', 40, 32768, 32768, 1, 8, 1, 1 << 19, 2835, 2835, 2, 0)
palette = b'\0\0\0\0\xff\xff\xff\0'
offset = 14 + len(info) + len(palette)
damaged('bad_too_large_rle.bmp', b'BM' + struct.pack('<IHHI', offset + (1 << 19), 0, 0, offset) +
        info + palette + bytes(1 << 19))
