#!/usr/bin/env python3
"""Writes the JPEG fixtures of the gfx tests with ImageMagick's convert (run it in this folder).

"smooth" is a 37 x 23 gradient the tests compute: red 6x, green 10y, blue 255 - 3x - 4y.
"""
import subprocess

with open('/tmp/smooth.ppm', 'wb') as o:
    o.write(b'P6\n37 23\n255\n')
    for y in range(23):
        for x in range(37):
            o.write(bytes((6 * x, 10 * y, 255 - 3 * x - 4 * y)))


def convert(out, *options):
    subprocess.run(['convert', '/tmp/smooth.ppm', *options, out], check=True)


convert('ok_rgb.jpg', '-quality', '95', '-sampling-factor', '1x1')
convert('ok_gray.jpg', '-quality', '95', '-colorspace', 'Gray')
convert('ok_cmyk.jpg', '-quality', '95', '-colorspace', 'CMYK')
convert('ok_progressive.jpg', '-quality', '95', '-sampling-factor', '1x1', '-interlace', 'Plane')

good = open('ok_rgb.jpg', 'rb').read()
with open('bad_truncated.jpg', 'wb') as o:
    o.write(good[:len(good) * 2 // 3])
with open('bad_no_image.jpg', 'wb') as o:
    o.write(good[:2] + b'\xff\xd9')

# ok_rgb.jpg with its frame set to 32768 x 32768 and zeros after the end mark up to 590 KB:
# enough bytes per pixel to look plausible, but a bitmap of 3 GiB. Refused as too large from
# the header, before decoding.
sof = good.find(b'\xff\xc0')
huge = good[:sof + 5] + b'\x80\x00\x80\x00' + good[sof + 9:]
with open('bad_too_large_padded.jpg', 'wb') as o:
    o.write(huge + bytes(590 * 1024 - len(huge)))
