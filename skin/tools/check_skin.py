#!/usr/bin/env python3
"""Checks the default skin and the data folders (standard library only).

    check_skin.py PROGRAM_DIR          the assembled folders Skin/, Stamp/, Texture/,
                                       Background/ and Save/ of the program folder
    check_skin.py --sources SKIN_DIR   the committed sources: default/, stamp/, texture/,
                                       background/

What it holds the pictures to: the file names the program loads, 24-bit uncompressed BMP, the
sizes the panels and click maps need (a picture the program draws at a fixed place must stay
inside the click region it belongs to), the toggle pictures blending into the panel around them,
the line counts and format markers of the text files, seals on a pure white ground, light and
seamless textures. Prints every failure and exits with 1 if there was one.
"""

import os
import struct
import sys

SKIN_BITMAPS = [
    "B_Gnd.bmp", "SelA.bmp", "SelB.bmp", "SelC.bmp", "SelD.bmp", "Sel2A.bmp", "Sel2B.bmp",
    "black.bmp", "red.bmp", "yel.bmp", "P_Gnd.bmp", "PB1.bmp", "PB2.bmp", "PB3.bmp",
    "GridSelectA.bmp", "GridSelectB.bmp", "GridTrackA.bmp", "GridTrackB.bmp", "B_Zoom.bmp",
    "B_ZoomTopA.bmp", "B_ZoomTopB.bmp", "GridPanel.bmp", "S_Gnd.bmp",
]

EXACT_SIZES = {
    "B_Gnd.bmp": (1024, 130), "P_Gnd.bmp": (1024, 52), "B_Zoom.bmp": (277, 215),
    "B_ZoomTopA.bmp": (277, 13), "B_ZoomTopB.bmp": (277, 13), "GridPanel.bmp": (400, 224),
    "S_Gnd.bmp": (488, 427), "black.bmp": (45, 45), "red.bmp": (45, 45), "yel.bmp": (45, 45),
    "PB3.bmp": (6, 12), "GridSelectA.bmp": (92, 36), "GridSelectB.bmp": (92, 36),
    "GridTrackA.bmp": (18, 180), "GridTrackB.bmp": (18, 51),
}

# Pictures drawn at fixed places: (name, places, click region each place must stay inside).
PLACED = [
    ("SelA.bmp", [((412, 22), (403, 22, 520, 44)), ((531, 22), (521, 22, 624, 44))]),
    ("SelB.bmp", [((412, 22), (403, 22, 520, 44)), ((531, 22), (521, 22, 624, 44))]),
    ("SelC.bmp", [((21, 207), (0, 193, 79, 227)), ((81, 207), (80, 193, 139, 227)),
                  ((141, 207), (140, 193, 199, 227)), ((201, 207), (200, 193, 276, 227))]),
    ("SelD.bmp", [((21, 207), (0, 193, 79, 227)), ((81, 207), (80, 193, 139, 227)),
                  ((141, 207), (140, 193, 199, 227)), ((201, 207), (200, 193, 276, 227))]),
    ("Sel2A.bmp", [((20, 202), (18, 198, 68, 223)), ((75, 202), (69, 198, 122, 223))]),
    ("Sel2B.bmp", [((20, 202), (18, 198, 68, 223)), ((75, 202), (69, 198, 122, 223))]),
]

TEXT_LINES = {"Messages.txt": 20, "Option01.txt": 48, "LoginDlg.txt": 13, "BGDlg.txt": 13,
              "SaveDlg.txt": 8}

failures = []


def fail(msg):
    failures.append(msg)


class Bmp:
    def __init__(self, path):
        data = open(path, "rb").read()
        if data[:2] != b"BM" or len(data) < 54:
            raise ValueError("not a BMP file")
        off, hsize = struct.unpack_from("<II", data, 10)
        w, h, planes, bpp, comp = struct.unpack_from("<iiHHI", data, 18)
        if hsize != 40 or bpp != 24 or comp != 0 or planes != 1:
            raise ValueError("header %d, %d bits, compression %d: want a plain 24-bit BMP"
                             % (hsize, bpp, comp))
        if w <= 0 or h <= 0:
            raise ValueError("size %d x %d" % (w, h))
        self.w, self.h = w, h
        self.stride = (w * 3 + 3) & ~3
        if off + self.stride * h > len(data):
            raise ValueError("pixel data cut short")
        self.data, self.off = data, off

    def px(self, x, y):  # (r, g, b), top-down coordinates
        i = self.off + (self.h - 1 - y) * self.stride + 3 * x
        b, g, r = self.data[i:i + 3]
        return r, g, b


def load_bmp(path):
    try:
        return Bmp(path)
    except (OSError, ValueError) as e:
        fail("%s: %s" % (path, e))
        return None


def split_lines(raw):
    """Lines as the program reads them: CR LF, lone CR or lone LF; no extra final line."""
    raw = raw.split(b"\0", 1)[0]
    text = raw.replace(b"\r\n", b"\n").replace(b"\r", b"\n")
    lines = text.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return lines


def check_skin(folder):
    bmps = {}
    for name in SKIN_BITMAPS:
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            fail("missing skin picture %s" % path)
            continue
        b = load_bmp(path)
        if b:
            bmps[name] = b
    for name, size in EXACT_SIZES.items():
        if name in bmps and (bmps[name].w, bmps[name].h) != size:
            fail("%s is %d x %d, want %d x %d" % (name, bmps[name].w, bmps[name].h, *size))
    for name in ("PB1.bmp", "PB2.bmp"):
        if name in bmps and bmps[name].h != 12:
            fail("%s must be 12 pixels high (the indicator rows 21..32)" % name)
    for a, b in (("SelA.bmp", "SelB.bmp"), ("SelC.bmp", "SelD.bmp"), ("Sel2A.bmp", "Sel2B.bmp"),
                 ("GridSelectA.bmp", "GridSelectB.bmp")):
        if a in bmps and b in bmps and (bmps[a].w, bmps[a].h) != (bmps[b].w, bmps[b].h):
            fail("%s and %s differ in size" % (a, b))
    for name, places in PLACED:
        if name not in bmps:
            continue
        w, h = bmps[name].w, bmps[name].h
        for (x, y), (x0, y0, x1, y1) in places:
            if x < x0 or y < y0 or x + w - 1 > x1 or y + h - 1 > y1:
                fail("%s at (%d, %d) reaches outside its click region (%d, %d)-(%d, %d)"
                     % (name, x, y, x0, y0, x1, y1))

    # The toggles, drawn opaque over the control panel, must show no seam against it.
    if "B_Gnd.bmp" in bmps:
        ground = bmps["B_Gnd.bmp"]
        for name in ("SelA.bmp", "SelB.bmp"):
            if name not in bmps:
                continue
            t = bmps[name]
            for (ox, oy) in ((412, 22), (531, 22)):
                worst = 0
                for x in range(t.w):
                    for y in (0, 1):
                        p, q = t.px(x, y), ground.px(ox + x, oy + y)
                        worst = max(worst, max(abs(p[i] - q[i]) for i in range(3)))
                if worst > 6:
                    fail("%s's top rows differ from B_Gnd.bmp at (%d, %d) by up to %d"
                         % (name, ox, oy, worst))
    # The zoom choices and grid checks sit on button faces of their panel pictures.
    for name, body, places, dy in (("SelC.bmp", "B_Zoom.bmp", (21, 81, 141, 201), 207 - 13),
                                   ("Sel2A.bmp", "GridPanel.bmp", (20, 75), 202)):
        if name not in bmps or body not in bmps:
            continue
        t, g = bmps[name], bmps[body]
        for ox in places:
            # The picture's left edge against the face it covers.
            p, q = t.px(0, t.h // 2), g.px(ox, dy + t.h // 2)
            if max(abs(p[i] - q[i]) for i in range(3)) > 6:
                fail("%s's edge does not match %s at x %d" % (name, body, ox))

    for name, count in TEXT_LINES.items():
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            fail("missing text file %s" % path)
            continue
        raw = open(path, "rb").read()
        lines = split_lines(raw)
        if len(lines) != count:
            fail("%s has %d lines, want %d" % (name, len(lines), count))
        if raw.replace(b"\r\n", b"").count(b"\n") or raw.replace(b"\r\n", b"").count(b"\r"):
            fail("%s: every line must end with CR LF" % name)
        if b"\0" in raw:
            fail("%s holds a zero byte" % name)
        if any(l.strip() == b"" for l in lines):
            fail("%s has an empty line" % name)
        if name == "Messages.txt" and len(lines) == 20:
            if lines[19].count(b"%") != 1 or b"%s" not in lines[19]:
                fail("Messages.txt line 19 must hold exactly one %s and no other %")
        if name == "SaveDlg.txt" and len(lines) >= 2:
            if lines[1].count(b"%s") != 2 or lines[1].count(b"%") != 2:
                fail("SaveDlg.txt line 1 must hold exactly two %s")
        if name == "BGDlg.txt" and len(lines) >= 11 and b"&&" not in lines[10]:
            fail("BGDlg.txt line 10 must write its ampersand as &&")


def is_red(p):
    r, g, b = p
    return r >= 120 and g <= r - 60 and b <= r - 60


def check_seals(folder):
    names = sorted(n for n in os.listdir(folder)) if os.path.isdir(folder) else []
    seals = [n for n in names if n.endswith(".BMP")]
    if len(seals) < 4:
        fail("%s: want at least 4 seals named *.BMP, found %d" % (folder, len(seals)))
    for n in names:
        if n not in seals:
            fail("%s: %s is not found by the stamp chooser (it lists *.BMP)" % (folder, n))
    for n in seals:
        b = load_bmp(os.path.join(folder, n))
        if not b:
            continue
        if not 100 <= max(b.w, b.h) <= 160:
            fail("seal %s is %d x %d; want its longer side 100..160" % (n, b.w, b.h))
        for c in ((0, 0), (b.w - 1, 0), (0, b.h - 1), (b.w - 1, b.h - 1)):
            if b.px(*c) != (255, 255, 255):
                fail("seal %s: corner %s is not pure white (the transparent colour)" % (n, c))
        red = other = 0
        for y in range(b.h):
            for x in range(b.w):
                p = b.px(x, y)
                if p == (255, 255, 255):
                    continue
                if is_red(p):
                    red += 1
                else:
                    other += 1
        if red < b.w * b.h // 10:
            fail("seal %s has too little red ink" % n)
        if other > (red + other) // 20:
            fail("seal %s: %d pixels are neither white nor seal red (a pale halo)" % (n, other))


def jpeg_size(path):
    data = open(path, "rb").read()
    if data[:2] != b"\xff\xd8":
        raise ValueError("not a JPEG file")
    i = 2
    while i + 9 < len(data):
        if data[i] != 0xFF:
            raise ValueError("broken marker chain")
        m = data[i + 1]
        seg = struct.unpack_from(">H", data, i + 2)[0]
        if m in (0xC0, 0xC1, 0xC2):
            h, w = struct.unpack_from(">HH", data, i + 5)
            return w, h
        i += 2 + seg
    raise ValueError("no frame header")


def check_pictures(folder, what, min_bmp, min_jpg, tile):
    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    bmps = [n for n in names if n.upper().endswith(".BMP")]
    jpgs = [n for n in names if n.upper().endswith((".JPG", ".JPEG"))]
    if len(bmps) < min_bmp or len(jpgs) < min_jpg:
        fail("%s: want at least %d BMP and %d JPEG files" % (folder, min_bmp, min_jpg))
    for n in jpgs:
        try:
            jpeg_size(os.path.join(folder, n))
        except (OSError, ValueError, struct.error) as e:
            fail("%s %s: %s" % (what, n, e))
    for n in bmps:
        b = load_bmp(os.path.join(folder, n))
        if not b:
            continue
        lum = sum(sum(b.px(x, y)) for y in range(0, b.h, 3) for x in range(0, b.w, 3))
        lum /= 3 * len(range(0, b.h, 3)) * len(range(0, b.w, 3))
        if lum < 215:
            fail("%s %s is too dark for ink to stay readable (mean %.0f)" % (what, n, lum))
        if tile:
            # Seamless: the step across the tile's edge is no larger than steps inside it.
            def col_step(x0, x1):
                return sum(max(abs(a - c) for a, c in zip(b.px(x0, y), b.px(x1, y)))
                           for y in range(b.h)) / b.h

            def row_step(y0, y1):
                return sum(max(abs(a - c) for a, c in zip(b.px(x, y0), b.px(x, y1)))
                           for x in range(b.w)) / b.w

            inner = max(sum(col_step(x, x + 1) for x in range(b.w - 1)) / (b.w - 1),
                        sum(row_step(y, y + 1) for y in range(b.h - 1)) / (b.h - 1))
            if col_step(b.w - 1, 0) > 2 * inner + 2 or row_step(b.h - 1, 0) > 2 * inner + 2:
                fail("texture %s shows a seam where it repeats" % n)


def main(argv):
    if len(argv) == 3 and argv[1] == "--sources":
        root = argv[2]
        skin, stamp, texture, background = (os.path.join(root, d)
                                            for d in ("default", "stamp", "texture", "background"))
        save = None
    elif len(argv) == 2:
        root = argv[1]
        skin, stamp, texture, background, save = (os.path.join(root, d) for d in
                                                  ("Skin", "Stamp", "Texture", "Background",
                                                   "Save"))
    else:
        print(__doc__)
        return 2
    check_skin(skin)
    check_seals(stamp)
    check_pictures(texture, "texture", 3, 1, tile=True)
    check_pictures(background, "background", 1, 2, tile=False)
    if save is not None and not os.path.isdir(save):
        fail("missing folder %s" % save)
    total = sum(os.path.getsize(os.path.join(d, n)) for d in (skin, stamp, texture, background)
                if os.path.isdir(d) for n in os.listdir(d))
    if total > 3 * 1024 * 1024:
        fail("the skin and data folders take %d bytes; keep them under 3 MB" % total)
    for f in failures:
        print("FAIL:", f)
    print("%d problem(s)" % len(failures) if failures else "skin ok (%d bytes)" % total)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
