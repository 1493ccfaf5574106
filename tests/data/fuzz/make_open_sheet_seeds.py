#!/usr/bin/env python3
"""Adds seed inputs for fuzz_open_sheet: plain "Zvr3" layouts whose grid words and background
are what a hostile file may hold. Run it in this folder:

    python3 make_open_sheet_seeds.py

A few stroke histories of the other render corpora are carried over with such grids; the rest
are hand-built here. Inputs that fuzzing finds are added by hand, not by this script.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, 'fuzz_open_sheet')
HEADER = 556


def write(name, data):
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, name), 'wb') as o:
        o.write(data)


def words(cell_w, cell_h, left, top, columns, rows):
    def word(low, high):
        return struct.unpack('<i', struct.pack('<I', (high & 0xFFFF) << 16 | (low & 0xFFFF)))[0]
    return [word(cell_w, cell_h), word(left, top), word(columns, rows)]


def layout(grid, records=b''):
    """A "Zvr3" layout with step 1, anyone may open it, the given grid words and records."""
    head = b'Zvr3' + struct.pack('<IIiii', 0x00010003, 0, 0, 1024, 718)
    head += b'\0' * 512 + struct.pack('<Ii', 0xFFFFFFFF, 1) + struct.pack('<3i', *grid)
    assert len(head) == HEADER
    data = bytearray(head + records)
    struct.pack_into('<I', data, 8, len(data))
    return bytes(data)


def with_grid(plain, grid):
    """An existing "Zvr3" layout with other grid words (its size stays the same)."""
    data = bytearray(plain)
    assert data[:4] == b'Zvr3'
    struct.pack_into('<3i', data, HEADER - 12, *grid)
    return bytes(data)


def bmp(width, height, bpp, pixels, compression=0, palette=b''):
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, compression, len(pixels), 2835,
                       2835, len(palette) // 4, 0)
    offset = 14 + len(info) + len(palette)
    return b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset) + info + palette + pixels


def bmp24(width, height):
    """A small 24-bit picture with a gradient, rows padded to 4 bytes."""
    pad = (4 - width * 3 % 4) % 4
    rows = b''.join(b''.join(bytes(((17 * x) & 255, (29 * y) & 255, (x * y) & 255))
                             for x in range(width)) + b'\0' * pad for y in range(height))
    return bmp(width, height, 24, rows)


def bmp_rle8(width, height):
    """A large picture in few bytes: one band of grey runs, then the end of the bitmap (the
    pixels left out keep the decoder's default)."""
    palette = b''.join(bytes((i, i, i, 0)) for i in (40, 120, 200, 255))
    band = b''
    for y in range(min(height, 8)):
        left = width
        while left > 0:
            n = min(left, 255)
            band += bytes((n, (y + left // 255) % 4))
            left -= n
        band += b'\0\0'
    return bmp(width, height, 8, band + b'\0\1', compression=1, palette=palette)


def background(mode, fit, picture):
    return struct.pack('<IIii', 5, 0, mode, fit) + struct.pack('<I', len(picture)) + picture


def ink_stroke(color, points):
    body = struct.pack('<I', len(points)) + b''.join(struct.pack('<3fI', *p, 0) for p in points)
    return struct.pack('<II', 0, color) + body


def sized(grid, records, zoom_index, real_size):
    """A layout padded (with records of a kind no reader knows, empty strokes and up to 3
    bytes the reader ignores) to a size from which the target chooses the zoom
    1 << zoom_index and the page size."""
    for strokes in range(4):
        for unknown in range(64):
            for tail in range(4):
                padded = (records + struct.pack('<III', 0, 0, 0) * strokes +
                          struct.pack('<II', 9, 0) * unknown + b'\0' * tail)
                size = HEADER + len(padded)
                if size // 32 % 4 == zoom_index and (size % 32 == 0) == real_size:
                    return layout(grid, padded)
    raise ValueError('no size')


# Grids as a file may hold them (each value 0 .. 65535).
GRIDS = {
    'grid_cell1_lines': words(1, 1, 0, 0, 65535, 65535),
    'grid_cell1_filled': words(1, 1, 0, 0, 0, 0),
    'grid_cell65535': words(65535, 65535, 0, 0, 0, 0),
    'grid_cell65535_far_origin': words(65535, 65535, 65535, 65535, 65535, 65535),
    'grid_width0': words(0, 7, 3, 5, 0, 0),
    'grid_width0_height1_65535_rows': words(0, 1, 0, 0, 65535, 65535),
    'grid_height0_width3': words(3, 0, 65535, 0, 400, 0),
    'grid_thin_far_left_top': words(2, 65535, 60000, 60000, 65535, 1),
}


# On small pages at two zooms; on the real page at one zoom each (every zoom for the grid of
# 65535 one-pixel columns and rows), since each real page takes tens of megabytes to build.
for index, (name, grid) in enumerate(GRIDS.items()):
    for z in (0, 2):
        write('%s_zoom%d' % (name, 1 << z), sized(grid, b'', z, False))
    for z in range(4) if name == 'grid_cell1_lines' else (index % 4,):
        write('%s_zoom%d_real_size' % (name, 1 << z), sized(grid, b'', z, True))

small = bmp24(13, 7)
FITS = (-1, 0, 1, 2, 3, 7, -2147483648, 2147483647)
for mode in (1, 2):
    for fit in FITS:
        write('background_mode%d_fit%d' % (mode, fit),
              sized([0, 0, 0], background(mode, fit, small), fit % 4, fit in (-1, 7)))
for mode in (0, 3, -1, 2147483647):
    write('background_mode%d' % mode, sized([0, 0, 0], background(mode, 2, small), 1, False))

# Large but legal pictures: far wider and taller than the page, a single pixel, a line.
# Each of the largest takes a few hundred megabytes to open: only a few of those.
for (w, h), modes, fits in (((4096, 4096), (2,), (-1, 7)), ((2048, 1436), (1, 2), (0, 2, 3)),
                            ((16000, 2), (1, 2), (0, 2)), ((2, 12000), (1, 2), (0, 2)),
                            ((1, 1), (1, 2), (0, 1, 2, 3))):
    picture = bmp_rle8(w, h)
    for mode in modes:
        for fit in fits:
            records = background(mode, fit, picture)
            write('large_%dx%d_mode%d_fit%d' % (w, h, mode, fit),
                  sized([0, 0, 0], records, (w + fit) % 4, False))
            if mode == 2:
                write('large_%dx%d_mode%d_fit%d_real_size' % (w, h, mode, fit),
                      sized([0, 0, 0], records, (h + fit) % 4, True))

# Everything at once: a hostile grid, a large image and a trace model with strokes.
strokes = (ink_stroke(0x0000FF, [(10, 10, 5), (500, 300, 40), (1000, 700, 2), (1000, 700, 0)]) +
           ink_stroke(0x00FF00, [(-5e6, 3e6, 9), (5e6, -3e6, 9), (0, 0, 0)]))
for name, grid in (('cell1_lines', GRIDS['grid_cell1_lines']),
                   ('cell65535', GRIDS['grid_cell65535']), ('width0', GRIDS['grid_width0'])):
    for mode, fit in ((1, -1), (2, 3), (2, 7)):
        records = strokes + background(mode, fit, bmp_rle8(1200, 900))
        write('all_%s_mode%d_fit%d' % (name, mode, fit), sized(grid, records, fit % 4, False))
        write('all_%s_mode%d_fit%d_real_size' % (name, mode, fit),
              sized(grid, records, (mode + fit) % 4, True))

# Histories of the other render corpora under hostile grids.
for source, name in (('gen3', 'cell1_lines'), ('gen3_ink', 'width0'),
                     ('hostile_segments_far_away_10', 'cell65535'),
                     ('hostile_huge_and_negative_radius', 'cell1_lines'),
                     ('hostile_seals_and_pictures_far_off', 'width0')):
    with open(os.path.join(HERE, 'fuzz_render_sheet', source), 'rb') as f:
        plain = f.read()
    if plain[:4] == b'Zvr3':
        write('%s_grid_%s' % (source, name), with_grid(plain, GRIDS['grid_' + name]))
