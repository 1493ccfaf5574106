#!/usr/bin/python3
"""Composes screen previews of the default skin, for checking it by eye.

    /usr/bin/python3 skin/tools/mockup.py OUTDIR [--hot]

writes OUTDIR/screen_writing.png (the sheet with the play bar), OUTDIR/screen_panels.png (the
control panel, zoom panel, a palette and the brush chooser open) and OUTDIR/grid_and_stamp.png.
With --hot the click regions of the panels are outlined in cyan over the pictures, so that each
label can be seen to sit inside its region. The pictures the program itself draws (brush preview,
palette swatches, toggles, player indicator, list rows) are put where the program puts them.
"""

import argparse
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN = os.path.join(os.path.dirname(HERE), "default")
FONT = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 11)
HOT = (0, 200, 220)


def load(name):
    return Image.open(os.path.join(SKIN, name)).convert("RGB")


def outline(d, ox, oy, boxes):
    for x0, y0, x1, y1 in boxes:
        d.rectangle((ox + x0, oy + y0, ox + x1, oy + y1), outline=HOT)


def control_panel(hot):
    p = load("B_Gnd.bmp")
    # Palette buttons: row 0 chosen (plain black swatch), the other two their skin pictures.
    p.paste(Image.new("RGB", (45, 45), (0, 0, 0)), (183, 28))
    p.paste(load("red.bmp"), (251, 28))
    p.paste(load("yel.bmp"), (319, 28))
    p.paste(load("SelB.bmp"), (531, 22))  # grid lines shown
    p.paste(load("SelA.bmp"), (412, 22))  # trace model hidden
    prev = Image.new("RGB", (45, 45), (255, 255, 255))
    d = ImageDraw.Draw(prev)
    d.ellipse((13, 13, 33, 33), fill=(0, 0, 0))
    d.text((0, 0), "10", fill=(0, 0, 255), font=FONT)
    p.paste(prev, (53, 30))
    if hot:
        d = ImageDraw.Draw(p)
        outline(d, 0, 0, [
            (53, 24, 113, 82), (179, 24, 238, 82), (239, 24, 306, 82), (307, 24, 368, 82),
            (403, 24, 520, 44), (403, 45, 520, 82), (521, 24, 624, 44), (625, 24, 657, 44),
            (521, 45, 657, 82), (677, 16, 753, 82), (754, 16, 832, 82), (833, 16, 912, 82),
            (913, 16, 1023, 82), (0, 93, 91, 129), (92, 93, 223, 129), (224, 93, 357, 129),
            (358, 93, 493, 129), (494, 93, 621, 129), (622, 93, 765, 129), (766, 93, 891, 129),
            (892, 93, 1023, 129)])
    return p


def play_panel(hot, position=37, maximum=100):
    p = load("P_Gnd.bmp")
    pb1, pb2, pb3 = load("PB1.bmp"), load("PB2.bmp"), load("PB3.bmp")
    f = position * 411 // maximum
    if f:
        p.paste(pb1.resize((f, 12)), (36, 21))
    p.paste(pb3.resize((6, 12)), (36 + f, 21))
    p.paste(pb2.resize((411 - f, 12)), (36 + f + 6, 21))
    if hot:
        d = ImageDraw.Draw(p)
        outline(d, 0, 0, [(36, 18, 453, 51), (463, 0, 526, 51), (527, 0, 591, 51),
                          (598, 15, 654, 51), (655, 15, 713, 51), (714, 15, 774, 51),
                          (775, 15, 832, 51), (864, 0, 1023, 51)])
    return p


def zoom_panel(hot, opened=True, chosen=1):
    p = Image.new("RGB", (277, 228), (128, 128, 128))
    p.paste(load("B_ZoomTopA.bmp" if opened else "B_ZoomTopB.bmp"), (0, 0))
    p.paste(load("B_Zoom.bmp"), (0, 13))
    for i, x in enumerate((21, 81, 141, 201)):
        p.paste(load("SelD.bmp" if i == chosen else "SelC.bmp"), (x, 207))
    ov = Image.new("RGB", (256, 180), (255, 255, 255))
    d = ImageDraw.Draw(ov)
    d.line((40, 60, 90, 120), fill=(0, 0, 0), width=3)
    d.rectangle((64, 45, 191, 134), outline=(255, 0, 0), width=2)
    p.paste(ov, (11, 23))
    if hot:
        d = ImageDraw.Draw(p)
        outline(d, 0, 0, [(0, 0, 276, 12), (0, 193, 79, 227), (80, 193, 139, 227),
                          (140, 193, 199, 227), (200, 193, 276, 227)])
    return p


def grid_panel(hot):
    p = load("GridPanel.bmp")
    p.paste(load("Sel2B.bmp"), (20, 202))
    p.paste(load("Sel2A.bmp"), (75, 202))
    lst = Image.new("RGB", (120, 180), (255, 255, 255))
    d = ImageDraw.Draw(lst)
    for i in range(5):
        lst.paste(load("GridSelectB.bmp" if i == 2 else "GridSelectA.bmp"), (0, 36 * i + 1))
        t = "%d x %d" % (i + 2, i + 1)
        w = d.textlength(t, font=FONT)
        d.text(((92 - w) / 2, 36 * i + 11), t, fill=(0, 0, 0), font=FONT)
    lst.paste(load("GridTrackA.bmp"), (102, 0))
    lst.paste(load("GridTrackB.bmp"), (102, 26))
    p.paste(lst, (11, 16))
    prev = Image.new("RGB", (256, 180), (255, 255, 255))
    d = ImageDraw.Draw(prev)
    for i in range(5):
        d.line((2 + 62 * i, 27, 2 + 62 * i, 152), fill=(255, 0, 0))
    for j in range(3):
        d.line((2, 27 + 62 * j, 250, 27 + 62 * j), fill=(255, 0, 0))
    p.paste(prev, (134, 16))
    if hot:
        d = ImageDraw.Draw(p)
        outline(d, 0, 0, [(18, 198, 68, 223), (69, 198, 122, 223), (261, 198, 281, 223),
                          (282, 198, 306, 223), (307, 198, 399, 223)])
    return p


def stamp_dialog(hot):
    p = load("S_Gnd.bmp")
    for k, name in enumerate(sorted(os.listdir(os.path.join(os.path.dirname(SKIN), "stamp")))):
        s = Image.open(os.path.join(os.path.dirname(SKIN), "stamp", name)).convert("RGB")
        r = 50 / max(s.size)
        p.paste(s.resize((int(s.width * r), int(s.height * r))), (13 + 4 + k * 56, 38 + 4))
        if k == 0:
            p.paste(s, (13 + 8, 243 + 8))
    if hot:
        d = ImageDraw.Draw(p)
        outline(d, 0, 0, [(394, 49, 468, 123), (389, 150, 478, 192), (389, 193, 478, 236),
                          (389, 320, 478, 357), (389, 358, 478, 395)])
    return p


def paper(texture=None):
    if texture:
        t = Image.open(texture).convert("RGB")
        page = Image.new("RGB", (1024, 718))
        for y in range(0, 718, t.height):
            for x in range(0, 1024, t.width):
                page.paste(t, (x, y))
        return page
    return Image.new("RGB", (1024, 718), (255, 255, 255))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--hot", action="store_true")
    ap.add_argument("--texture")
    a = ap.parse_args()
    os.makedirs(a.out, exist_ok=True)

    screen = Image.new("RGB", (1024, 768), (0, 0, 0))
    screen.paste(paper(a.texture), (0, 0))
    d = ImageDraw.Draw(screen)
    d.line((300, 200, 420, 420), fill=(20, 20, 20), width=9)
    screen.paste(play_panel(a.hot), (0, 718))
    screen.save(os.path.join(a.out, "screen_writing.png"))

    screen.paste(control_panel(a.hot), (0, 638))
    zp = zoom_panel(a.hot)
    screen.paste(zp, (1022 - 277, 638 - 228))
    pal = Image.new("RGB", (270, 45))
    for i, c in enumerate(((0, 0, 0), (51, 51, 51), (102, 102, 102), (153, 153, 153),
                           (204, 204, 204), (255, 255, 255))):
        pal.paste(Image.new("RGB", (45, 45), c), (45 * i, 0))
    screen.paste(pal, (183, 638 + 28))
    screen.save(os.path.join(a.out, "screen_panels.png"))

    both = Image.new("RGB", (400 + 488 + 10, 427), (60, 60, 60))
    both.paste(grid_panel(a.hot), (0, 0))
    both.paste(stamp_dialog(a.hot), (410, 0))
    both.save(os.path.join(a.out, "grid_and_stamp.png"))


if __name__ == "__main__":
    main()
