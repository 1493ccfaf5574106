#!/usr/bin/env python3
"""Adds seed inputs for the fuzz targets to the folders here, one folder per target name.

Run it in this folder with the codec library the build puts in the program folder:

    python3 make_seeds.py ../../../build/release/Zevo3/libZevoCodec.so

The seeds are made from the fixtures in tests/data, hand-built files and ImageMagick's convert
(for a few more JPEG variants). Inputs that fuzzing finds are added by hand, not by this script.
"""
import ctypes
import os
import struct
import subprocess
import sys

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as o:
        o.write(data)


def read(*path):
    with open(os.path.join(DATA, *path), 'rb') as f:
        return f.read()


# Pictures.

def bmp(width, height, bpp, pixels, compression=0, palette=b'', masks=b'', colors_used=0):
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, compression, len(pixels), 2835,
                       2835, colors_used, 0)
    offset = 14 + len(info) + len(masks) + len(palette)
    head = b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset)
    return head + info + masks + palette + pixels


def grey_palette(n):
    return b''.join(bytes((255 * i // (n - 1),) * 3) + b'\0' for i in range(n))


for name in ('ok_full_24', 'ok_full_24_core', 'ok_full_24_v5', 'ok_full_32_alpha', 'ok_full_565',
             'ok_full_8', 'ok_full_rle8', 'ok_pal16_4', 'ok_pal2_1', 'bad_truncated_pixels',
             'bad_huge_width', 'bad_offset_past_end'):
    write('fuzz_bmp', name + '.bmp', read('bmp', name + '.bmp'))
# 3 x 2, rows from the top, each padded to 4 bytes.
write('fuzz_bmp', 'top_down_24.bmp',
      bmp(3, -2, 24, bytes(range(9)) + b'\0\0\0' + bytes(range(90, 99)) + b'\0\0\0'))
# RLE4: a run, an end of line, a delta, an absolute run, and no end-of-bitmap mark.
write('fuzz_bmp', 'rle4_delta_unended.bmp',
      bmp(8, 4, 4, bytes((4, 0x12, 0, 0, 0, 2, 1, 1, 0, 3, 0x12, 0x30)), compression=2,
          palette=grey_palette(16)))
# RLE8 whose run goes past the row and whose delta goes past the top.
write('fuzz_bmp', 'rle8_overrun.bmp',
      bmp(4, 2, 8, bytes((9, 1, 0, 2, 1, 5, 3, 2, 0, 1)), compression=1, palette=grey_palette(4)))
# 16 bits without fields (5-5-5) and 32 bits with fields.
write('fuzz_bmp', 'rgb555_16.bmp', bmp(2, 2, 16, struct.pack('<4H', 0x7C00, 0x03E0, 0x001F, 0x7FFF)))
write('fuzz_bmp', 'bitfields_32.bmp',
      bmp(2, 1, 32, struct.pack('<2I', 0x00FF00FF, 0xFF00FF00), compression=3,
          masks=struct.pack('<3I', 0xFF0000, 0xFF00, 0xFF)))
# Palette indices beyond the two colours used.
write('fuzz_bmp', 'index_past_palette.bmp',
      bmp(4, 1, 8, bytes((0, 1, 2, 255)), palette=grey_palette(2), colors_used=2))

for name in ('ok_rgb', 'ok_gray', 'ok_cmyk', 'ok_progressive', 'bad_truncated', 'bad_no_image'):
    write('fuzz_jpeg', name + '.jpg', read('jpeg', name + '.jpg'))
# A 17 x 9 gradient: odd sizes leave partial blocks.
with open('/tmp/zevo-seed.ppm', 'wb') as o:
    o.write(b'P6\n17 9\n255\n')
    o.write(b''.join(bytes((13 * x, 25 * y, 200 - 9 * x)) for y in range(9) for x in range(17)))
subprocess.run(['convert', '/tmp/zevo-seed.ppm', '-quality', '40', '-sampling-factor', '2x2',
                'fuzz_jpeg/ok_odd_size_420.jpg'], check=True)
os.remove('/tmp/zevo-seed.ppm')
# ok_rgb with a frame of no height, and with a frame of 65535 x 65535 over the same data.
good = bytearray(read('jpeg', 'ok_rgb.jpg'))
sof = good.find(b'\xff\xc0')
zero = bytearray(good)
zero[sof + 5:sof + 7] = b'\0\0'
write('fuzz_jpeg', 'bad_zero_height.jpg', bytes(zero))
huge = bytearray(good)
huge[sof + 5:sof + 9] = b'\xff\xff\xff\xff'
write('fuzz_jpeg', 'bad_huge_frame.jpg', bytes(huge))

# Stroke layouts: the plain target reads them as they are, the encoded one encodes them first.
for folder in ('fuzz_stroke_plain', 'fuzz_stroke_encoded'):
    for name, fixture in (('truncated', 'r2_truncated'), ('absurd_count', 'r2_absurd_count'),
                          ('nineteen_bytes', 'r3_nineteen_bytes'), ('minor4', 'r6_minor4')):
        write(folder, name, read('stk', fixture + '.stk'))

# Containers for the codec target, sealed under its key of 32 sevens. Besides whole
# containers, the target seals the tail of every input: the first byte picks the method
# (0 stored, 1 zstd, 2 stroke planes) and the next four the plain length.
codec = ctypes.CDLL(sys.argv[1])
key = (ctypes.c_uint8 * 32)(*([7] * 32))


def call(function, *head, data):
    length = ctypes.c_int32(0)
    buffer = (ctypes.c_uint8 * len(data)).from_buffer_copy(data)
    assert function(*head, buffer, len(data), None, ctypes.byref(length), *tail(function)) == 0
    out = (ctypes.c_uint8 * length.value)()
    assert function(*head, buffer, len(data), out, ctypes.byref(length), *tail(function)) == 0
    return bytes(out[:length.value])


def tail(function):
    return () if function is codec.drav_encode else (key,)


gen1 = read('stk', 'r0_gen1_all_kinds.stk')
gen3 = read('stk', 'r0_gen3_step3.stk')
sealed = call(codec.drav_encode_ex, -1, data=gen3)
write('fuzz_codec_decode', 'container_sealed_gen3', sealed)
write('fuzz_codec_decode', 'container_unsealed_gen1', call(codec.drav_encode, data=gen1))
write('fuzz_codec_decode', 'container_sealed_stored',
      call(codec.drav_encode_ex, 0, data=b'brush and ink ' * 4))
write('fuzz_codec_decode', 'container_sealed_zstd',
      call(codec.drav_encode_ex, 9, data=b'no stroke layout at all ' * 8))
flipped = bytearray(sealed)
flipped[len(flipped) // 2] ^= 0x40
write('fuzz_codec_decode', 'container_flipped_byte', bytes(flipped))
write('fuzz_codec_decode', 'container_truncated', sealed[:30])
write('fuzz_codec_decode', 'payload_stored', b'\0' + struct.pack('<I', 11) + b'hello world')
write('fuzz_codec_decode', 'payload_zstd_short', b'\1' + struct.pack('<I', 64) + sealed[36:60])

# Settings, start-up and text files.
write('settings_file_fuzz', 'hand_edited', read('settings', 'hand_edited'))
write('settings_file_fuzz', 'password',
      b'Password text "\\xC3\\x8F\\x84\\x00\\xEF"\nName.With-Odd_Chars int -2147483648\n'
      b'TooBig int 99999999999\nBad\tname int 1\n  \nTrailing text "no end')
write('settings_file_fuzz', 'empty', b'')
write('startup_file_fuzz', 'long_line',
      b'[Zevo3 Option]\nPath_Stamp /' + b'x' * 120 + b'/\nPath_Skin /skins/b/\n')
write('startup_file_fuzz', 'no_section', b'Path_Stamp /stamps/\nPath_Skin /skins/\n')
write('startup_file_fuzz', 'tabs_last_wins',
      b'[Zevo3 Option]\r\nPath_Skin\t/first/\r\nPath_Skin\t/second/\r\nPath_Stamp \t')
write('text_file_fuzz', 'utf8_no_end', '王羲之\r\n蘭亭序\r\n永和九年'.encode())
write('text_file_fuzz', 'only_breaks', b'\r\r\n\n\r\n\r')
write('text_file_fuzz', 'empty', b'')
