#!/usr/bin/env python3
"""Writes the stroke file fixtures about memory and number damage (run it in this folder).

Encoded files need the codec library the build puts in the program folder:

    python3 make_fixtures.py ../../../build/release/Zevo3/libZevoCodec.so

Each name begins with the result ReadStrokeFile gives: r0 loads, r2 is damaged, r7 is too large
for Zevo 3 (over the memory budget of files/document_budget.h). The r7 files are a few KB on
disk but would decode to far more than the budget. The older fixtures here were written by
earlier versions of the program and are not made by this script.
"""
import ctypes
import hashlib
import struct
import sys

MIB = 1 << 20
BUDGET = 512 * MIB  # files/document_budget.h
KEY = bytes((0x2C, 0x73, 0xA5, 0xD6, 0x34, 0xDA, 0x48, 0x7D, 0x2E, 0x5D, 0xF4, 0x0E, 0x8E, 0xAE,
             0x26, 0x53, 0x17, 0x49, 0x11, 0x06, 0x6E, 0x89, 0x39, 0x84, 0x4F, 0x76, 0xEE, 0xDB,
             0xE0, 0x0E, 0x6B, 0x42))  # files/codec_binding.h


def text(s):
    return s.encode().ljust(256, b'\0')


def layout(records, step=1):
    """A "Zvr3" plain layout: the 556-byte header, then the records."""
    body = b''.join(records)
    size = 556 + len(body)
    head = b'Zvr3' + struct.pack('<IIIii', 0x00010003, size, 0, 1024, 718)
    head += text('Zevo 3 tests') + text('') + struct.pack('<Iiiii', 0xFFFFFFFF, step, 0, 0, 0)
    assert len(head) == 556
    return head + body


def ink(color, samples):
    return struct.pack('<III', 0, color, len(samples)) + b''.join(
        struct.pack('<fffI', x, y, r, 0) for x, y, r in samples)


def fill(color, x, y):
    return struct.pack('<IIff', 3, color, x, y)


def write(name, data):
    with open(name, 'wb') as o:
        o.write(data)


def encode(plain):
    """Encodes as the program saves: the default mode, sealed under the program's key."""
    codec = ctypes.CDLL(sys.argv[1])
    key = (ctypes.c_uint8 * 32)(*KEY)
    data = (ctypes.c_uint8 * len(plain)).from_buffer_copy(plain)
    length = ctypes.c_int32(0)
    assert codec.drav_encode_ex(-1, data, len(plain), None, ctypes.byref(length), key) == 0
    out = (ctypes.c_uint8 * length.value)()
    assert codec.drav_encode_ex(-1, data, len(plain), out, ctypes.byref(length), key) == 0
    return bytes(out[:length.value])


# Loaded as they are: the renderer copes with odd radii, far coordinates and many fills.
write('r0_huge_and_negative_radius.stk',
      layout([ink(0x202020, [(100, 100, 3e8), (200, 150, -7.5), (300, 200, 4), (310, 200, 0)])]))
far = [-1e9, 1e9]
write('r0_far_segments.stk',
      layout([ink(0, [(far[k % 2], 40 + 60 * k, 6), (far[1 - k % 2], 70 + 60 * k, 6),
                      (far[1 - k % 2], 70 + 60 * k, 0)]) for k in range(10)]))
write('r0_ten_thousand_fills.stk',
      encode(layout([ink(0x000000, [(100, 100, 20), (900, 600, 20), (900, 600, 0)])] +
                    [fill(0x0000FF if k % 2 else 0xFF0000, 512, 359) for k in range(10000)])))

# Not a number and an infinity among the samples: damage.
write('r2_nan_sample.stk',
      layout([ink(0, [(10, 10, 3), (float('nan'), 20, 3), (30, 30, 0)])]))
write('r2_inf_sample.stk',
      layout([ink(0, [(10, 10, 3), (20, 20, float('inf')), (30, 30, 0)])]))


# Four pictures, each 512 KB of RLE8 end-of-line marks (enough to look plausible) declaring
# 32768 x 32768 pixels: 3 GiB of bitmap each.
def huge_rle_bmp():
    info = struct.pack('<IiiHHIIiiII', 40, 32768, 32768, 1, 8, 1, 1 << 19, 2835, 2835, 2, 0)
    palette = b'\0\0\0\0\xff\xff\xff\0'
    offset = 14 + len(info) + len(palette)
    return (b'BM' + struct.pack('<IHHI', offset + (1 << 19), 0, 0, offset) + info + palette +
            bytes(1 << 19))


picture = huge_rle_bmp()
write('r7_four_huge_rle_pictures.stk',
      encode(layout([struct.pack('<IIiiI', 1, 255, 10 * k, 10 * k, len(picture)) + picture
                     for k in range(4)])))

# Ten million samples stored with step 4 come back as forty million: 160 MB of layout that
# would become 480 MB of samples. The same samples with step 1 would fit.
N = 10_000_000
one = struct.pack('<fffI', 100, 100, 5, 0)
write('r7_step4_amplified.stk',
      encode(layout([struct.pack('<III', 0, 0, N) + one * (N - 1) +
                     struct.pack('<fffI', 100, 100, 0, 0)], step=4)))


# Two stamps of 16384 x 16384: 32 MB of mask each, 768 MB of bitmap each.
def stamp(side):
    return (struct.pack('<IIffffii', 2, 255, 0, 0, 300, 300, side, side) +
            bytes(side // 8 * side))


write('r7_two_huge_stamps.stk', encode(layout([stamp(16384), stamp(16384)])))


# A plain layout of 513 MiB: the header, then empty ink records (zeros), in a container that
# is one zstd frame of run-length blocks (compression only: a checksum, no seal). Refused from
# the plain size the container declares, before it is decompressed.
def zstd_frame(head, zeros):
    out = struct.pack('<IB', 0xFD2FB528, 0xA0) + struct.pack('<I', len(head) + zeros)
    out += struct.pack('<I', len(head) << 3)[:3] + head  # a raw block
    block = 128 * 1024
    while zeros > 0:
        n = min(zeros, block)
        zeros -= n
        out += struct.pack('<I', (n << 3) | (1 << 1) | (zeros == 0))[:3] + b'\0'
    return out


head = layout([])
records = (BUDGET + MIB - len(head)) // 12
plain_size = len(head) + 12 * records
head = head[:8] + struct.pack('<I', plain_size) + head[12:]
container = b'zvRD' + bytes((1, 0, 1, 0)) + struct.pack('<I', plain_size)
container += zstd_frame(head, 12 * records)
write('r7_plain_over_budget.stk', container + hashlib.blake2b(container, digest_size=16).digest())
