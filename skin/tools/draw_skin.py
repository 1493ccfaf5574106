#!/usr/bin/python3
"""Draws the default Zevo 3 skin and its data pictures.

Writes, below the skin/ folder of the source tree:
  default/     the skin bitmaps (24-bit BMP) of the control panel, play bar, zoom and grid
               panels and the stamp chooser
  stamp/       the seals of the stamp folder (white is transparent)
  texture/     seamless paper textures
  background/  background pictures

The pictures are committed; the build only copies them. Run this again after changing it:
    /usr/bin/python3 skin/tools/draw_skin.py
It needs Pillow (python3-pil), the DejaVu fonts (fonts-dejavu-core) and Noto Sans CJK
(fonts-noto-cjk). Everything is drawn from fixed seeds, so a second run gives the same files.

Every button is drawn inside the rectangle that the program hit-tests for it; the numbers
below are those rectangles, in panel pixels, bounds inclusive.
"""

import argparse
import math
import os
import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN_ROOT = os.path.dirname(HERE)

SS = 4  # supersampling factor for shapes

# --- colours: paper, ink, soft greys and one vermilion --------------------------------------
PANEL = (234, 228, 216)  # panel ground
PANEL_DARK = (222, 215, 201)  # recessed wells
RULE = (200, 192, 178)  # separators
FACE = (251, 249, 244)  # button face (paper white)
FACE_EDGE = (176, 168, 154)  # button outline
FACE_SHADOW = (208, 200, 186)  # one-pixel drop below a face
INK = (31, 29, 26)  # labels
INK_SOFT = (96, 91, 84)  # icons, secondary labels
CAPTION = (118, 112, 102)  # group headings
CJK_GREY = (112, 106, 97)
VERMILION = (196, 64, 42)
VERMILION_PALE = (245, 222, 212)
TITLE_BAR = (70, 65, 59)
TITLE_TEXT = (243, 238, 228)

# --- fonts ------------------------------------------------------------------------------------
DEJAVU = "/usr/share/fonts/truetype/dejavu/"
NOTO_CJK = "/usr/share/fonts/opentype/noto/"


def latin(size, bold=True, condensed=False):
    name = "DejaVuSans" + ("Condensed" if condensed else "") + ("-Bold" if bold else "")
    name += ".ttf"
    return ImageFont.truetype(DEJAVU + name, size)


def cjk(size, bold=False):
    path = NOTO_CJK + ("NotoSansCJK-Bold.ttc" if bold else "NotoSansCJK-Regular.ttc")
    for index in range(8):
        font = ImageFont.truetype(path, size, index=index)
        if font.getname()[0] == "Noto Sans CJK TC":
            return font
    return ImageFont.truetype(path, size)


def serif(size):
    return ImageFont.truetype(DEJAVU + "DejaVuSerif-Bold.ttf", size)


# --- a picture drawn at 4x for shapes, then at 1x for text -------------------------------------
class Sheet:
    def __init__(self, w, h, ground):
        self.w, self.h = w, h
        self.hi = Image.new("RGB", (w * SS, h * SS), ground)
        self.d = ImageDraw.Draw(self.hi)
        self.lo = None
        self.texts = []

    # Rectangles are given in picture pixels, corners inclusive.
    def _box(self, x0, y0, x1, y1):
        return (x0 * SS, y0 * SS, (x1 + 1) * SS - 1, (y1 + 1) * SS - 1)

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1):
        self.d.rectangle(self._box(x0, y0, x1, y1), fill=fill, outline=outline,
                         width=width * SS if outline else 0)

    def rrect(self, x0, y0, x1, y1, r, fill=None, outline=None, width=1):
        self.d.rounded_rectangle(self._box(x0, y0, x1, y1), r * SS, fill=fill,
                                 outline=outline, width=width * SS if outline else 0)

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=1):
        self.d.ellipse(self._box(x0, y0, x1, y1), fill=fill, outline=outline,
                       width=int(width * SS) if outline else 0)

    # Free coordinates (floats allowed) for icons: pixel centres are at +0.5.
    def poly(self, pts, fill):
        self.d.polygon([(x * SS, y * SS) for x, y in pts], fill=fill)

    def line(self, pts, fill, width=1.0):
        self.d.line([(x * SS, y * SS) for x, y in pts], fill=fill, width=max(1, int(width * SS)))

    def disc(self, cx, cy, r, fill):
        self.d.ellipse(((cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS), fill=fill)

    def ring(self, cx, cy, r, fill, width):
        self.d.ellipse(((cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS),
                       outline=fill, width=max(1, int(width * SS)))

    def arc(self, cx, cy, r, a0, a1, fill, width):
        self.d.arc(((cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS), a0, a1,
                   fill=fill, width=max(1, int(width * SS)))

    # Text is drawn after the shapes have been reduced, so it keeps its hinting.
    def text(self, x, y, s, font, fill, anchor="la"):
        self.texts.append((x, y, s, font, fill, anchor))

    def finish(self):
        lo = self.hi.resize((self.w, self.h), Image.BOX)
        d = ImageDraw.Draw(lo)
        for x, y, s, font, fill, anchor in self.texts:
            d.text((x, y), s, font=font, fill=fill, anchor=anchor)
        self.lo = lo
        return lo


def text_width(s, font):
    box = font.getbbox(s)
    return box[2] - box[0]


# --- the parts every button shares ---------------------------------------------------------------
def face(sh, x0, y0, x1, y1, r=4, fill=FACE, edge=FACE_EDGE):
    """A raised button face inside (x0, y0)-(x1, y1) with a one-pixel shadow under it."""
    sh.rrect(x0, y0 + 1, x1, y1, r, fill=FACE_SHADOW)
    sh.rrect(x0, y0, x1, y1 - 1, r, fill=fill, outline=edge)


def well(sh, x0, y0, x1, y1, fill=PANEL_DARK):
    """A recessed frame one pixel outside a picture the program draws at (x0, y0)-(x1, y1)."""
    sh.rect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, fill=fill, outline=FACE_EDGE)


def labelled(sh, x0, y0, x1, y1, english, chinese=None, icon=None, size=12, cjk_size=10,
             icon_w=16, two_lines=True):
    """English label (with the Chinese name below it) and an optional icon, centred in a face."""
    f_en = latin(size)
    f_zh = cjk(cjk_size)
    w_en = text_width(english, f_en)
    w_zh = text_width(chinese, f_zh) if chinese else 0
    w_text = max(w_en, w_zh)
    inner = x1 - x0 + 1 - 8
    use_icon = icon is not None and w_text + icon_w + 4 <= inner
    total = w_text + (icon_w + 4 if use_icon else 0)
    left = x0 + (x1 - x0 + 1 - total) / 2
    cy = (y0 + y1 - 1) / 2
    if use_icon:
        icon(sh, left + icon_w / 2, cy, icon_w)
        left += icon_w + 4
    tx = left + w_text / 2
    if chinese and two_lines:
        sh.text(tx, cy - 1, english, f_en, INK, "ms")
        sh.text(tx, cy + 1, chinese, f_zh, CJK_GREY, "mt")
    else:
        sh.text(tx, cy, english, f_en, INK, "mm")


# --- icons, drawn about a centre (cx, cy) within a box of size s ------------------------------------
def ic_crosshair(sh, cx, cy, s):
    r = s * 0.36
    sh.ring(cx, cy, r, INK_SOFT, 1.3)
    sh.line([(cx - s / 2, cy), (cx + s / 2, cy)], INK_SOFT, 1.2)
    sh.line([(cx, cy - s / 2), (cx, cy + s / 2)], INK_SOFT, 1.2)
    sh.disc(cx, cy, 1.6, VERMILION)


def ic_save(sh, cx, cy, s):  # arrow down into a tray
    h = s / 2
    sh.line([(cx, cy - h), (cx, cy + h * 0.25)], INK_SOFT, 1.6)
    sh.poly([(cx - h * 0.55, cy - h * 0.05), (cx + h * 0.55, cy - h * 0.05), (cx, cy + h * 0.5)],
            INK_SOFT)
    sh.line([(cx - h, cy + h * 0.35), (cx - h, cy + h), (cx + h, cy + h), (cx + h, cy + h * 0.35)],
            INK_SOFT, 1.4)


def ic_open(sh, cx, cy, s):  # folder
    h = s / 2
    sh.poly([(cx - h, cy - h * 0.6), (cx - h * 0.2, cy - h * 0.6), (cx, cy - h * 0.35),
             (cx + h, cy - h * 0.35), (cx + h, cy + h * 0.75), (cx - h, cy + h * 0.75)], INK_SOFT)
    sh.poly([(cx - h * 0.8, cy - h * 0.05), (cx + h * 1.1, cy - h * 0.05),
             (cx + h * 0.85, cy + h * 0.75), (cx - h, cy + h * 0.75)], FACE)
    sh.line([(cx - h * 0.8, cy - h * 0.05), (cx + h * 1.1, cy - h * 0.05),
             (cx + h * 0.85, cy + h * 0.75), (cx - h, cy + h * 0.75), (cx - h * 0.8, cy - h * 0.05)],
            INK_SOFT, 1.2)


def ic_play(sh, cx, cy, s, colour=INK_SOFT):
    h = s * 0.42
    sh.poly([(cx - h * 0.75, cy - h), (cx + h, cy), (cx - h * 0.75, cy + h)], colour)


def ic_stop(sh, cx, cy, s, colour=INK_SOFT):
    h = s * 0.32
    sh.poly([(cx - h, cy - h), (cx + h, cy - h), (cx + h, cy + h), (cx - h, cy + h)], colour)


def ic_first(sh, cx, cy, s):
    h = s * 0.38
    sh.poly([(cx - h, cy - h), (cx - h + 2.2, cy - h), (cx - h + 2.2, cy + h), (cx - h, cy + h)],
            INK_SOFT)
    sh.poly([(cx + h, cy - h), (cx - h + 3, cy), (cx + h, cy + h)], INK_SOFT)


def ic_last(sh, cx, cy, s):
    h = s * 0.38
    sh.poly([(cx + h, cy - h), (cx + h - 2.2, cy - h), (cx + h - 2.2, cy + h), (cx + h, cy + h)],
            INK_SOFT)
    sh.poly([(cx - h, cy - h), (cx + h - 3, cy), (cx - h, cy + h)], INK_SOFT)


def ic_prev(sh, cx, cy, s):
    h = s * 0.36
    sh.poly([(cx + h * 0.8, cy - h), (cx - h * 0.8, cy), (cx + h * 0.8, cy + h)], INK_SOFT)


def ic_next(sh, cx, cy, s):
    h = s * 0.36
    sh.poly([(cx - h * 0.8, cy - h), (cx + h * 0.8, cy), (cx - h * 0.8, cy + h)], INK_SOFT)


def ic_seal(sh, cx, cy, s, plus=False):
    h = s * 0.4
    sh.rrect(int(cx - h), int(cy - h), int(cx + h), int(cy + h), 1, fill=VERMILION)
    sh.line([(cx - h * 0.45, cy - h * 0.45), (cx + h * 0.45, cy - h * 0.45)], FACE, 1.2)
    sh.line([(cx, cy - h * 0.45), (cx, cy + h * 0.5)], FACE, 1.2)
    sh.line([(cx - h * 0.45, cy + h * 0.5), (cx + h * 0.45, cy + h * 0.5)], FACE, 1.2)
    if plus:
        sh.disc(cx + h, cy + h, 3.4, FACE)
        sh.line([(cx + h - 2.2, cy + h), (cx + h + 2.2, cy + h)], INK_SOFT, 1.2)
        sh.line([(cx + h, cy + h - 2.2), (cx + h, cy + h + 2.2)], INK_SOFT, 1.2)


def ic_print(sh, cx, cy, s):
    h = s / 2
    sh.rect(int(cx - h * 0.55), int(cy - h), int(cx + h * 0.55), int(cy - h * 0.2), fill=FACE,
            outline=INK_SOFT)
    sh.rrect(int(cx - h), int(cy - h * 0.35), int(cx + h), int(cy + h * 0.45), 1, fill=INK_SOFT)
    sh.rect(int(cx - h * 0.55), int(cy + h * 0.1), int(cx + h * 0.55), int(cy + h), fill=FACE,
            outline=INK_SOFT)


def ic_picture(sh, cx, cy, s):
    h = s / 2
    sh.rect(int(cx - h), int(cy - h * 0.75), int(cx + h), int(cy + h * 0.75), fill=FACE,
            outline=INK_SOFT)
    sh.poly([(cx - h + 1.5, cy + h * 0.6), (cx - h * 0.2, cy - h * 0.2), (cx + h * 0.3, cy + h * 0.3),
             (cx + h * 0.55, cy + h * 0.05), (cx + h - 1, cy + h * 0.6)], INK_SOFT)
    sh.disc(cx + h * 0.45, cy - h * 0.35, 1.5, VERMILION)


def ic_paper(sh, cx, cy, s):
    h = s / 2
    pts = [(cx - h * 0.75, cy - h), (cx + h * 0.35, cy - h), (cx + h * 0.75, cy - h * 0.6),
           (cx + h * 0.75, cy + h), (cx - h * 0.75, cy + h)]
    sh.poly(pts, FACE)
    sh.line(pts + [pts[0]], INK_SOFT, 1.3)
    sh.line([(cx + h * 0.35, cy - h), (cx + h * 0.35, cy - h * 0.6), (cx + h * 0.75, cy - h * 0.6)],
            INK_SOFT, 1.1)
    for k in range(3):
        y = cy - h * 0.15 + k * h * 0.35
        sh.line([(cx - h * 0.45, y), (cx + h * 0.45, y)], RULE, 1.0)


def ic_options(sh, cx, cy, s):  # three sliders
    h = s / 2
    for k, pos in enumerate((0.35, -0.4, 0.1)):
        y = cy - h * 0.6 + k * h * 0.6
        sh.line([(cx - h, y), (cx + h, y)], INK_SOFT, 1.2)
        sh.disc(cx + pos * h, y, 2.2, VERMILION if k == 1 else INK_SOFT)


def ic_close(sh, cx, cy, s):
    h = s * 0.34
    sh.line([(cx - h, cy - h), (cx + h, cy + h)], VERMILION, 2.0)
    sh.line([(cx - h, cy + h), (cx + h, cy - h)], VERMILION, 2.0)


def ic_lattice(sh, cx, cy, s, colour=INK_SOFT):
    h = s / 2
    for k in range(4):
        t = -h + k * (2 * h / 3)
        sh.line([(cx + t, cy - h), (cx + t, cy + h)], colour, 1.0)
        sh.line([(cx - h, cy + t), (cx + h, cy + t)], colour, 1.0)


def ic_panel(sh, cx, cy, s):  # a panel sliding up
    h = s / 2
    sh.rect(int(cx - h), int(cy), int(cx + h), int(cy + h * 0.8), fill=INK_SOFT)
    sh.poly([(cx - h * 0.55, cy - h * 0.25), (cx, cy - h), (cx + h * 0.55, cy - h * 0.25)],
            VERMILION)


def ic_check(sh, cx, cy, s, colour=INK_SOFT):
    h = s / 2
    sh.line([(cx - h * 0.8, cy), (cx - h * 0.2, cy + h * 0.6), (cx + h * 0.85, cy - h * 0.7)],
            colour, 2.0)


def ic_plus(sh, cx, cy, s):
    h = s * 0.38
    sh.line([(cx - h, cy), (cx + h, cy)], INK_SOFT, 2.0)
    sh.line([(cx, cy - h), (cx, cy + h)], INK_SOFT, 2.0)


def ic_minus(sh, cx, cy, s):
    h = s * 0.38
    sh.line([(cx - h, cy), (cx + h, cy)], INK_SOFT, 2.0)


def small_seal_logo(sh, x0, y0, size, chars="Z3"):
    """The little vermilion seal of the program's name, a decoration, not a button."""
    sh.rrect(x0, y0, x0 + size - 1, y0 + size - 1, 2, fill=VERMILION)
    sh.rect(x0 + 3, y0 + 3, x0 + size - 4, y0 + size - 4, outline=FACE, width=1)
    if chars.isascii():
        sh.text(x0 + size / 2, y0 + size / 2 + 1, chars, serif(int(size * 0.42)), FACE, "mm")
    else:
        sh.text(x0 + size / 2, y0 + size / 2, chars, cjk(int(size * 0.62), bold=True), FACE, "mm")


# =============================================================================================
# Control panel "B_Gnd.bmp", 1024 x 130
# =============================================================================================
CTRL_TOGGLE_W, CTRL_TOGGLE_H = 86, 20  # "SelA.bmp" / "SelB.bmp", drawn at (412, 22), (531, 22)


def heading(sh, x, y, english, chinese=None):
    f = latin(10)
    sh.text(x, y, english, f, CAPTION, "ls")
    if chinese:
        sh.text(x + text_width(english, f) + 5, y, chinese, cjk(10), CAPTION, "ls")


def draw_control_panel():
    sh = Sheet(1024, 130, PANEL)
    # A thin top edge and the rule between the upper part and the command row.
    sh.rect(0, 0, 1023, 0, fill=RULE)
    sh.rect(0, 1, 1023, 1, fill=(244, 240, 232))
    sh.rect(6, 88, 1017, 88, fill=RULE)
    sh.rect(6, 89, 1017, 89, fill=(244, 240, 232))

    # Decoration in the dead corner x < 52: the program's little seal.
    small_seal_logo(sh, 8, 36, 34)

    BASE = 18  # baseline of the group headings (y < 24 is not a hot area on the left)

    # Brush preview: hot area 52 < X < 114, 24 <= Y <= 82; the preview is drawn at (53, 30) 45x45.
    heading(sh, 53, BASE, "Brush", "筆")
    face(sh, 53, 24, 113, 82)
    well(sh, 53, 30, 97, 74, fill=(255, 255, 255))
    # A chevron on the free strip says "opens a chooser".
    sh.poly([(101.5, 55), (109.5, 55), (105.5, 49)], INK_SOFT)

    # Tool toggle and "Clear": 118 <= X <= 174, Y 24..51 and 55..82. The faces only; the
    # program writes their labels ("Brush 筆" / "Fill 填" and "Clear 清除") on them.
    heading(sh, 118, BASE, "Tool", "工具")
    face(sh, 118, 24, 174, 51)
    face(sh, 118, 55, 174, 82)

    # Palette buttons: 178 < X < 369; X <= 238 black, 239..306 red, X > 306 yellow.
    # The program draws a 45x45 picture at (183, 28), (251, 28), (319, 28).
    heading(sh, 180, BASE, "Ink colour", "墨色")
    f9 = latin(8)
    for (x0, x1, px, name) in ((179, 238, 183, "Black"), (240, 306, 251, "Red"),
                               (308, 368, 319, "Yellow")):
        face(sh, x0, 24, x1, 82)
        well(sh, px, 28, px + 44, 72, fill=(255, 255, 255))
        sh.text(px + 22, 80, name, f9, INK_SOFT, "ms")

    sh.rect(385, 26, 385, 80, fill=RULE)

    # Trace model: 402 < X < 521; upper half (Y <= 44) the on/off toggle drawn at (412, 22),
    # lower half "Open model".
    heading(sh, 405, BASE, "Trace model", "臨摹")
    face(sh, 404, 47, 519, 82)
    labelled(sh, 404, 47, 519, 82, "Open model", "臨摹字跡", icon=ic_open, size=11)

    # Grid lines and stamp: 521 <= X < 658; upper: toggle at (531, 22) for X <= 624 and the
    # "Grid..." button for X > 624; lower (Y > 44): add a stamp.
    heading(sh, 531, BASE, "Grid lines", "格線")
    face(sh, 626, 24, 657, 44, r=3)
    sh.text(641.5, 34, "Grid…", latin(9, condensed=True), INK, "mm")
    face(sh, 522, 47, 657, 82)
    labelled(sh, 522, 47, 657, 82, "Stamp", "加入印章", icon=ic_seal,
             size=12)

    sh.rect(667, 26, 667, 80, fill=RULE)

    # Right group, X > 676 and 16 <= Y <= 82: First, Paper, Options, Close.
    for (x0, x1, en, zh, icon) in ((679, 752, "First", "第一筆", ic_first),
                                   (756, 830, "Paper", "紙張", ic_paper),
                                   (835, 910, "Options", "選項", ic_options),
                                   (915, 1019, "Close", "關閉", ic_close)):
        face(sh, x0, 24, x1, 82)
        cx = (x0 + x1) / 2
        icon(sh, cx, 38, 16)
        sh.text(cx, 62, en, latin(12), INK, "ms")
        sh.text(cx, 65, zh, cjk(10), CJK_GREY, "mt")

    # Command row, Y >= 93.
    row = ((0, 91, "Calibrate", "校正中心", ic_crosshair),
           (92, 223, "Save", "儲存筆跡", ic_save),
           (224, 357, "Open", "開啟筆跡", ic_open),
           (358, 493, "Play", "播放筆跡", ic_play),
           (494, 621, "Stop", "停止播放", ic_stop),
           (622, 765, "Capture seal", "擷取印章", lambda s, x, y, z: ic_seal(s, x, y, z, plus=True)),
           (766, 891, "Print", "列印圖片", ic_print),
           (892, 1023, "Export picture", "存成圖片", ic_picture))
    for (x0, x1, en, zh, icon) in row:
        a = max(x0 + 3, 6)
        b = min(x1 - 3, 1017)
        face(sh, a, 95, b, 126)
        labelled(sh, a, 95, b, 126, en, zh, icon=icon, size=12)
    return sh.finish()


def draw_toggle(on):
    """SelA (off) / SelB (on): a switch; its rows 0..2 are panel ground, so it blends in."""
    w, h = CTRL_TOGGLE_W, CTRL_TOGGLE_H
    sh = Sheet(w, h, PANEL)
    # The pill occupies rows 3..19 (panel y 25..41), inside the hot half 24..44.
    x0, y0, x1, y1 = 0, 3, w - 1, h - 1
    sh.rrect(x0, y0 + 1, x1, y1, 8, fill=FACE_SHADOW)
    sh.rrect(x0, y0, x1, y1 - 1, 8, fill=FACE, outline=FACE_EDGE)
    track = (VERMILION if on else (190, 183, 171))
    tx0, ty0, tx1, ty1 = 5, 6, 33, 15
    sh.rrect(tx0, ty0, tx1, ty1, 5, fill=track)
    kx = 28 if on else 10
    sh.disc(kx + 0.5, 11, 6.0, FACE_EDGE)
    sh.disc(kx + 0.5, 11, 5.0, (255, 255, 255))
    label = "On" if on else "Off"
    sh.text(60, 11, label, latin(11), VERMILION if on else INK_SOFT, "mm")
    return sh.finish()


def palette_button(colour):
    """black.bmp / red.bmp / yel.bmp: 45x45, one brush stroke in the row's colour."""
    sh = Sheet(45, 45, (255, 255, 255))
    # Discs along a gentle curve: pressed at the head, swelling, lifted into a tail.
    n = 60
    for i in range(n + 1):
        t = i / n
        x = 9 + 27 * t
        y = 13 + 19 * t - 5 * math.sin(math.pi * t)
        r = 1.0 + 6.5 * math.sin(math.pi * (0.12 + 0.88 * t) ** 0.9) * (1.0 - 0.55 * t)
        sh.disc(x, y, r, colour)
    sh.rect(0, 0, 44, 44, outline=(214, 208, 197))
    return sh.finish()


# =============================================================================================
# Play panel "P_Gnd.bmp", 1024 x 52, and the player indicator pictures
# =============================================================================================
def draw_play_panel():
    sh = Sheet(1024, 52, PANEL)
    sh.rect(0, 0, 1023, 0, fill=RULE)
    sh.rect(0, 1, 1023, 1, fill=(244, 240, 232))

    # Player track: the program stretches PB1/PB2/PB3 over x 36..452, rows 21..32.
    sh.text(36, 15, "Strokes", latin(9), CAPTION, "ls")
    sh.text(36 + text_width("Strokes", latin(9)) + 5, 16, "筆跡", cjk(9), CAPTION, "ls")
    sh.text(452, 15, "click to go to a stroke", latin(8, bold=False), CAPTION, "rs")
    sh.rect(34, 19, 454, 34, fill=PANEL_DARK, outline=FACE_EDGE)
    sh.rect(36, 21, 452, 32, fill=(226, 220, 208))

    # Play 463..526 and Stop 527..591, any Y.
    face(sh, 464, 16, 525, 46)
    labelled(sh, 464, 16, 525, 46, "Play", "播放", icon=ic_play, size=11, icon_w=12)
    face(sh, 528, 16, 590, 46)
    labelled(sh, 528, 16, 590, 46, "Stop", "停止", icon=ic_stop, size=11, icon_w=12)

    # For Y > 14: First 598..654, Prev 655..713, Next 714..774, Last 775..832.
    for (x0, x1, en, zh, icon) in ((599, 653, "First", "第一筆", ic_first),
                                   (656, 712, "Prev", "上一筆", ic_prev),
                                   (715, 773, "Next", "下一筆", ic_next),
                                   (776, 831, "Last", "最終筆", ic_last)):
        face(sh, x0, 16, x1, 46)
        labelled(sh, x0, 16, x1, 46, en, zh, icon=icon, size=11, icon_w=10)

    sh.rect(847, 18, 847, 44, fill=RULE)

    # X >= 864: open the control panel.
    face(sh, 866, 16, 1019, 46)
    labelled(sh, 866, 16, 1019, 46, "Control panel", "控制面板", icon=ic_panel, size=11)
    return sh.finish()


def draw_track(kind):
    """PB1 filled, PB2 empty: 8 x 12, every column alike, so any stretch looks the same."""
    img = Image.new("RGB", (8, 12))
    if kind == "filled":
        rows = [(62, 58, 53), (104, 98, 90)] + [(78, 73, 67)] * 8 + [(64, 60, 55), (48, 45, 41)]
    else:
        rows = [(188, 181, 169), (206, 199, 187)] + [(226, 220, 209)] * 9 + [(238, 233, 224)]
    for y, c in enumerate(rows):
        for x in range(8):
            img.putpixel((x, y), c)
    return img


def draw_knob():
    """PB3: the 6-pixel knob, vermilion."""
    img = Image.new("RGB", (6, 12), VERMILION)
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, 5, 11), outline=(140, 40, 26))
    d.line((1, 1, 4, 1), fill=(222, 110, 88))
    d.line((2, 4, 2, 7), fill=(230, 150, 130))
    d.line((3, 4, 3, 7), fill=(150, 44, 28))
    return img


# =============================================================================================
# Zoom panel: title strips 277 x 13, body 277 x 215 drawn at (0, 13), choice buttons
# =============================================================================================
ZOOM_BTN = 18  # "SelC.bmp" / "SelD.bmp": radio marks, drawn at (21|81|141|201, 207)


def draw_zoom_top(opened):
    sh = Sheet(277, 13, TITLE_BAR)
    sh.rect(0, 12, 276, 12, fill=(48, 44, 40))
    if opened:  # pointing down: click to fold
        sh.poly([(8, 4), (15, 4), (11.5, 9)], VERMILION)
    else:  # pointing right: click to unfold
        sh.poly([(9, 2.5), (14, 6.5), (9, 10.5)], VERMILION)
    sh.text(20, 6.5, "Zoom", latin(9), TITLE_TEXT, "lm")
    sh.text(20 + text_width("Zoom", latin(9)) + 5, 6.5, "縮放", cjk(9), (205, 198, 186), "lm")
    hint = "fold" if opened else "unfold"
    sh.text(270, 6.5, hint, latin(8, bold=False), (180, 172, 160), "rm")
    return sh.finish()


def draw_zoom_body():
    sh = Sheet(277, 215, PANEL)
    sh.rect(0, 0, 276, 214, outline=FACE_EDGE)
    # The overview ImgZoom sits at panel (11, 23) = body (11, 10), 256 x 180.
    well(sh, 11, 10, 266, 189, fill=(255, 255, 255))
    # Choices: panel Y > 192 outside the overview; X < 80, 80..139, 140..199, >= 200.
    # The radio mark is drawn at panel (x, 207) = body (x, 194); its label follows it.
    for x, label in ((21, "100%"), (81, "200%"), (141, "400%"), (201, "800%")):
        face(sh, x - 1, 191, x + 54, 213, r=4)
        sh.text(x + ZOOM_BTN + 3, 203, label, latin(10), INK, "lm")
    return sh.finish()


def draw_zoom_choice(chosen):
    sh = Sheet(ZOOM_BTN, ZOOM_BTN, FACE)
    c = (ZOOM_BTN) / 2
    sh.disc(c, c, 6.5, FACE_EDGE)
    sh.disc(c, c, 5.5, (255, 255, 255))
    if chosen:
        sh.disc(c, c, 3.6, VERMILION)
    return sh.finish()


# =============================================================================================
# Grid panel "GridPanel.bmp" 400 x 224 and its small pictures
# =============================================================================================
GRID_CHECK = 14  # "Sel2A.bmp" / "Sel2B.bmp", drawn at (20, 202) and (75, 202)


def draw_grid_panel():
    sh = Sheet(400, 224, PANEL)
    sh.rect(0, 0, 399, 223, outline=FACE_EDGE)
    sh.rect(1, 1, 398, 1, fill=(244, 240, 232))
    # Headings over the list (11, 16) 120 x 180 and the preview (134, 16) 256 x 180.
    sh.text(11, 12, "Lattice", latin(9), CAPTION, "ls")
    sh.text(11 + text_width("Lattice", latin(9)) + 4, 13, "格線", cjk(9), CAPTION, "ls")
    sh.text(134, 12, "Preview", latin(9), CAPTION, "ls")
    sh.text(389, 12, "Grid", latin(9), CAPTION, "rs")
    well(sh, 11, 16, 130, 195, fill=(255, 255, 255))
    well(sh, 134, 16, 389, 195, fill=(255, 255, 255))

    # Band Y >= 198. Vertical lines 18..68, horizontal lines 69..122 (check marks at (20, 202)
    # and (75, 202)), previous 261..281, next 282..306, apply >= 307.
    f = latin(10, condensed=True)
    face(sh, 18, 199, 67, 222, r=3)
    sh.text(20 + GRID_CHECK + 3, 209, "Vert.", f, INK, "lm")
    face(sh, 70, 199, 122, 222, r=3)
    sh.text(75 + GRID_CHECK + 3, 209, "Horiz.", f, INK, "lm")
    sh.text(128, 210, "lines", latin(9, bold=False), CAPTION, "lm")
    sh.text(257, 210, "preset", latin(9, bold=False), CAPTION, "rm")
    face(sh, 262, 199, 281, 222, r=3)
    ic_prev(sh, 271.5, 210, 12)
    face(sh, 283, 199, 305, 222, r=3)
    ic_next(sh, 294, 210, 12)
    face(sh, 308, 199, 396, 222, r=3, fill=VERMILION_PALE, edge=(196, 120, 100))
    sh.text(335, 210, "Apply", latin(11), INK, "mm")
    sh.text(372, 211, "套用", cjk(10), CJK_GREY, "mm")
    return sh.finish()


def draw_grid_check(on):
    n = GRID_CHECK
    sh = Sheet(n, n, FACE)
    sh.rrect(1, 1, n - 2, n - 2, 2, fill=(255, 255, 255), outline=FACE_EDGE)
    if on:
        sh.line([(3.5, 7.0), (6.0, 10.0), (11.0, 3.8)], VERMILION, 2.0)
    return sh.finish()


def draw_grid_row(chosen):
    """GridSelectA / GridSelectB, 92 x 36; the program writes "c x r" centred over it."""
    sh = Sheet(92, 36, (255, 255, 255))
    if chosen:
        sh.rect(1, 1, 90, 34, fill=VERMILION_PALE)
        sh.rect(1, 1, 3, 34, fill=VERMILION)
    else:
        sh.rect(1, 1, 90, 34, fill=FACE)
    sh.rect(4, 35, 88, 35, fill=(228, 222, 211))
    # A faint lattice mark at the right, away from the centred text.
    ic_lattice(sh, 81, 18, 9, colour=(206, 198, 185) if not chosen else (214, 150, 130))
    return sh.finish()


def draw_grid_track():
    sh = Sheet(18, 180, PANEL)
    sh.rrect(5, 2, 12, 177, 3, fill=PANEL_DARK, outline=(206, 198, 186))
    return sh.finish()


def draw_grid_thumb():
    sh = Sheet(18, 51, PANEL)
    sh.rrect(2, 1, 15, 49, 5, fill=FACE_SHADOW)
    sh.rrect(2, 0, 15, 48, 5, fill=FACE, outline=FACE_EDGE)
    for y in (20, 24, 28):
        sh.rect(6, y, 11, y, fill=FACE_EDGE)
    return sh.finish()


# =============================================================================================
# Stamp chooser "S_Gnd.bmp" 488 x 427
# =============================================================================================
def draw_stamp_dialog():
    sh = Sheet(488, 427, PANEL)
    sh.rect(0, 0, 487, 426, outline=(150, 142, 130))
    sh.rect(1, 1, 486, 24, fill=TITLE_BAR)
    small_seal_logo(sh, 8, 3, 19, "印")
    sh.text(34, 13, "Choose a seal", latin(12), TITLE_TEXT, "lm")
    sh.text(34 + text_width("Choose a seal", latin(12)) + 8, 13, "選取印章", cjk(12),
            (205, 198, 186), "lm")
    # The thumbnails (13, 38) 367 x 199 and the preview (13, 243) 367 x 169.
    well(sh, 13, 38, 379, 236, fill=(255, 255, 255))
    well(sh, 13, 243, 379, 411, fill=(255, 255, 255))
    sh.text(14, 34, "Seals in the stamp folder", latin(9), CAPTION, "ls")

    # Right column, hot areas for 389 <= X <= 478.
    sh.text(433.5, 44, "Turn", latin(9), CAPTION, "ms")
    well(sh, 394, 49, 468, 123, fill=(255, 255, 255))
    sh.text(433.5, 137, "click to turn", latin(9, bold=False), CAPTION, "mm")
    face(sh, 391, 152, 476, 190)
    labelled(sh, 391, 152, 476, 190, "Use", "選用", icon=lambda s, x, y, z: ic_check(s, x, y, z,
                                                                                     VERMILION),
             size=12)
    face(sh, 391, 195, 476, 234)
    labelled(sh, 391, 195, 476, 234, "Cancel", "取消", icon=ic_close, size=12, icon_w=12)
    sh.text(412, 315, "Size", latin(9), CAPTION, "ls")
    sh.text(412 + text_width("Size", latin(9)) + 4, 316, "大小", cjk(9), CAPTION, "ls")
    face(sh, 391, 322, 476, 355)
    labelled(sh, 391, 322, 476, 355, "Larger", "放大", icon=ic_plus, size=11, icon_w=12)
    face(sh, 391, 360, 476, 393)
    labelled(sh, 391, 360, 476, 393, "Smaller", "縮小", icon=ic_minus, size=11, icon_w=12)
    return sh.finish()


# =============================================================================================
# Seals: white ground (transparent), vermilion marks
# =============================================================================================
SEAL_RED = (188, 38, 30)


def _noise_field(w, h, rng, blur):
    img = Image.new("L", (w, h))
    img.putdata([rng.randrange(256) for _ in range(w * h)])
    return img.filter(ImageFilter.GaussianBlur(blur))


def finish_seal(mask_hi, w, h, seed):
    """Turns a 4x coverage mask into a stamped picture: worn edges, slightly uneven ink."""
    rng = random.Random(seed)
    W, H = w * SS, h * SS
    soft = mask_hi.filter(ImageFilter.GaussianBlur(1.6 * SS / 4))
    grain = _noise_field(W // 2, H // 2, rng, 1.2).resize((W, H), Image.BILINEAR)
    # Worn coverage: the mask, disturbed by grain, thresholded.
    mixed = Image.blend(soft, grain, 0.28)
    lo = mixed.resize((w, h), Image.BOX)
    ink_var = _noise_field(w, h, rng, 2.0)
    out = Image.new("RGB", (w, h), (255, 255, 255))
    px = out.load()
    lp = lo.load()
    vp = ink_var.load()
    for y in range(h):
        for x in range(w):
            a = lp[x, y]
            if a < 118:
                continue
            k = (vp[x, y] - 128) / 128.0
            shade = 0.88 + 0.12 * min(1.0, (a - 118) / 40.0)
            r = int(min(255, SEAL_RED[0] * shade + 18 * k + (1 - shade) * 255))
            g = int(min(255, SEAL_RED[1] * shade + 8 * k + (1 - shade) * 150))
            b = int(min(255, SEAL_RED[2] * shade + 8 * k + (1 - shade) * 140))
            px[x, y] = (max(0, r), max(0, g), max(0, b))
    return out


# Abstract glyph marks of our own: each a list of polylines in a unit square.
GLYPHS = [
    [(0.1, 0.15, 0.75, 0.15), (0.65, 0.15, 0.65, 0.85), (0.25, 0.5, 0.9, 0.5),
     (0.1, 0.85, 0.65, 0.85), (0.18, 0.3, 0.32, 0.4)],
    [(0.15, 0.1, 0.15, 0.9, 0.85, 0.9), (0.4, 0.1, 0.85, 0.1, 0.85, 0.6, 0.4, 0.6, 0.4, 0.1)],
    [(0.1, 0.2, 0.9, 0.2), (0.3, 0.2, 0.3, 0.9), (0.7, 0.2, 0.7, 0.9),
     (0.3, 0.55, 0.7, 0.55), (0.1, 0.9, 0.9, 0.9)],
    [(0.62, 0.05, 0.62, 0.95), (0.12, 0.3, 0.88, 0.3, 0.88, 0.72),
     (0.12, 0.3, 0.12, 0.72, 0.42, 0.72)],
    [(0.1, 0.12, 0.9, 0.12, 0.1, 0.88, 0.9, 0.88)],
    [(0.15, 0.15, 0.85, 0.15, 0.85, 0.85, 0.15, 0.85, 0.15, 0.4, 0.6, 0.4, 0.6, 0.62)],
]


class _Pen:
    def __init__(self, img, fill_value):
        self.d = ImageDraw.Draw(img)
        self.v = fill_value

    def strokes(self, strokes, box, width):
        x0, y0, x1, y1 = box
        sx, sy = x1 - x0, y1 - y0
        for s in strokes:
            pts = [(x0 + px * sx, y0 + py * sy) for px, py in zip(s[0::2], s[1::2])]
            self.d.line(pts, fill=self.v, width=int(width), joint="curve")
            r = width / 2
            for p in pts:
                self.d.ellipse((p[0] - r, p[1] - r, p[0] + r, p[1] + r), fill=self.v)


def seal_square_intaglio(size, glyphs, seed):
    """White marks cut into a red square (white text seal)."""
    S = size * SS
    m = Image.new("L", (S, S), 0)
    d = ImageDraw.Draw(m)
    d.rounded_rectangle((2 * SS, 2 * SS, S - 2 * SS, S - 2 * SS), 5 * SS, fill=255)
    pen = _Pen(m, 0)
    n = len(glyphs)
    cols = 2 if n > 1 else 1
    rows = (n + cols - 1) // cols
    pad = size * 0.16 * SS
    cw = (S - 2 * pad) / cols
    chh = (S - 2 * pad) / rows
    for i, g in enumerate(glyphs):
        c, r = cols - 1 - (i // rows), i % rows  # read top to bottom, right to left
        box = (pad + c * cw + cw * 0.1, pad + r * chh + chh * 0.1,
               pad + (c + 1) * cw - cw * 0.1, pad + (r + 1) * chh - chh * 0.1)
        pen.strokes(g, box, size * 0.07 * SS)
    return finish_seal(m, size, size, seed)


def seal_round_relief(size, glyph, seed):
    """A red ring with a red mark inside (red text seal)."""
    S = size * SS
    m = Image.new("L", (S, S), 0)
    d = ImageDraw.Draw(m)
    d.ellipse((2 * SS, 2 * SS, S - 2 * SS, S - 2 * SS), fill=255)
    k = size * 0.075 * SS
    d.ellipse((2 * SS + k, 2 * SS + k, S - 2 * SS - k, S - 2 * SS - k), fill=0)
    pen = _Pen(m, 255)
    pad = S * 0.27
    pen.strokes(glyph, (pad, pad, S - pad, S - pad), size * 0.06 * SS)
    return finish_seal(m, size, size, seed)


def seal_tall_relief(w, h, glyphs, seed):
    """A tall red frame holding two marks stacked."""
    W, H = w * SS, h * SS
    m = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(m)
    d.rounded_rectangle((2 * SS, 2 * SS, W - 2 * SS, H - 2 * SS), 6 * SS, fill=255)
    k = 6 * SS
    d.rounded_rectangle((2 * SS + k, 2 * SS + k, W - 2 * SS - k, H - 2 * SS - k), 3 * SS, fill=0)
    pen = _Pen(m, 255)
    pad = 16 * SS
    half = (H - 2 * pad) / len(glyphs)
    for i, g in enumerate(glyphs):
        pen.strokes(g, (pad, pad + i * half + 3 * SS, W - pad, pad + (i + 1) * half - 3 * SS),
                    5.5 * SS)
    return finish_seal(m, w, h, seed)


def seal_oval_initials(w, h, text, seed):
    W, H = w * SS, h * SS
    m = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(m)
    d.ellipse((2 * SS, 2 * SS, W - 2 * SS, H - 2 * SS), fill=255)
    k = 6 * SS
    d.ellipse((2 * SS + k, 2 * SS + k, W - 2 * SS - k, H - 2 * SS - k), fill=0)
    f = serif(int(h * 0.48 * SS))
    d.text((W / 2, H / 2 + 2 * SS), text, font=f, fill=255, anchor="mm")
    return finish_seal(m, w, h, seed)


def seal_round_initials_intaglio(size, text, seed):
    S = size * SS
    m = Image.new("L", (S, S), 0)
    d = ImageDraw.Draw(m)
    d.ellipse((2 * SS, 2 * SS, S - 2 * SS, S - 2 * SS), fill=255)
    k = size * 0.06 * SS
    d.ellipse((2 * SS + k, 2 * SS + k, S - 2 * SS - k, S - 2 * SS - k), outline=0,
              width=int(2 * SS))
    f = serif(int(size * 0.4 * SS))
    d.text((S / 2, S / 2 + 2 * SS), text, font=f, fill=0, anchor="mm")
    return finish_seal(m, size, size, seed)


def seal_square_frame_relief(size, glyphs, seed):
    """Red border and a 2x2 lattice of red marks."""
    S = size * SS
    m = Image.new("L", (S, S), 0)
    d = ImageDraw.Draw(m)
    d.rectangle((3 * SS, 3 * SS, S - 3 * SS, S - 3 * SS), fill=255)
    k = 7 * SS
    d.rectangle((3 * SS + k, 3 * SS + k, S - 3 * SS - k, S - 3 * SS - k), fill=0)
    pen = _Pen(m, 255)
    pad = 14 * SS
    cell = (S - 2 * pad) / 2
    for i, g in enumerate(glyphs[:4]):
        c, r = 1 - i // 2, i % 2
        pen.strokes(g, (pad + c * cell + 4 * SS, pad + r * cell + 4 * SS,
                        pad + (c + 1) * cell - 4 * SS, pad + (r + 1) * cell - 4 * SS), 4.5 * SS)
    return finish_seal(m, size, size, seed)


def draw_seals():
    return {
        "Seal01.BMP": seal_square_intaglio(120, [GLYPHS[0], GLYPHS[1], GLYPHS[2], GLYPHS[3]], 11),
        "Seal02.BMP": seal_round_relief(112, GLYPHS[5], 12),
        "Seal03.BMP": seal_tall_relief(96, 150, [GLYPHS[4], GLYPHS[2]], 13),
        "Seal04.BMP": seal_oval_initials(150, 100, "ZV", 14),
        "Seal05.BMP": seal_square_frame_relief(136, [GLYPHS[1], GLYPHS[3], GLYPHS[0], GLYPHS[5]],
                                               15),
        "Seal06.BMP": seal_round_initials_intaglio(128, "Z3", 16),
    }


# =============================================================================================
# Textures: seamless tiles
# =============================================================================================
def periodic_noise(w, h, rng, blur, lo=0, hi=255):
    """Noise that repeats with period (w, h): blurred on a 3x3 tiling, then the centre cut."""
    base = Image.new("L", (w, h))
    base.putdata([rng.randrange(lo, hi + 1) for _ in range(w * h)])
    big = Image.new("L", (3 * w, 3 * h))
    for i in range(3):
        for j in range(3):
            big.paste(base, (i * w, j * h))
    big = big.filter(ImageFilter.GaussianBlur(blur))
    return big.crop((w, h, 2 * w, 2 * h))


def tinted(gray, dark, light):
    """Maps an L picture onto a colour ramp from dark (0) to light (255)."""
    return Image.merge("RGB", [gray.point(lambda v, a=a, b=b: int(a + (b - a) * v / 255))
                               for a, b in zip(dark, light)])


def draw_fibres(img, rng, count, length, colour, width_range, alpha):
    """Draws wavy fibres with wrap-around so the tile stays seamless."""
    w, h = img.size
    layer = Image.new("RGB", (3 * w, 3 * h))
    big = Image.new("RGB", (3 * w, 3 * h))
    for i in range(3):
        for j in range(3):
            big.paste(img, (i * w, j * h))
    mask = Image.new("L", (3 * w, 3 * h), 0)
    md = ImageDraw.Draw(mask)
    for _ in range(count):
        x, y = rng.uniform(0, w), rng.uniform(0, h)
        ang = rng.uniform(0, math.pi)
        n = int(length * rng.uniform(0.5, 1.3))
        pts = []
        for k in range(n):
            ang += rng.uniform(-0.09, 0.09)
            x += math.cos(ang)
            y += math.sin(ang)
            pts.append((x, y))
        wdt = rng.choice(width_range)
        a = int(alpha * rng.uniform(0.5, 1.0))
        for i in range(3):
            for j in range(3):
                md.line([(px + i * w, py + j * h) for px, py in pts], fill=a, width=wdt)
    layer.paste(Image.new("RGB", layer.size, colour))
    big = Image.composite(layer, big, mask)
    return big.crop((w, h, 2 * w, 2 * h))


def texture_rice(size, seed):
    rng = random.Random(seed)
    cloud = periodic_noise(size, size, rng, 3.0, 80, 175)
    grain = periodic_noise(size, size, rng, 0.6, 0, 255)
    g = ImageChops.add(cloud.point(lambda v: v), grain.point(lambda v: v // 12), scale=1.0)
    base = tinted(g.point(lambda v: min(255, v * 1.3)), (232, 224, 206), (251, 248, 240))
    base = draw_fibres(base, rng, size // 3, size // 3, (222, 212, 190), [1], 120)
    base = draw_fibres(base, rng, size // 10, size // 3, (255, 253, 248), [1], 70)
    return base


def texture_laid(size, seed):
    rng = random.Random(seed)
    cloud = periodic_noise(size, size, rng, 4.0, 60, 200)
    base = tinted(cloud, (236, 230, 214), (250, 246, 236))
    d = ImageDraw.Draw(base)
    for y in range(0, size, 4):  # laid lines
        d.line((0, y, size - 1, y), fill=(239, 233, 218))
    for x in range(0, size, 32):  # chain lines
        d.line((x + 15, 0, x + 15, size - 1), fill=(229, 221, 203))
    return draw_fibres(base, rng, size // 4, size // 4, (226, 217, 197), [1], 90)


def texture_mottled(size, seed):
    rng = random.Random(seed)
    a = periodic_noise(size, size, rng, 8.0, 0, 255)
    b = periodic_noise(size, size, rng, 2.0, 0, 255)
    g = Image.blend(a, b, 0.35).point(lambda v: max(0, min(255, (v - 100) * 3)))
    base = tinted(g, (238, 231, 215), (250, 247, 241))
    return draw_fibres(base, rng, size // 2, size // 2, (230, 221, 203), [1], 110)


def texture_hemp(size, seed):
    rng = random.Random(seed)
    a = periodic_noise(size, size, rng, 5.0, 40, 215)
    base = tinted(a, (226, 228, 216), (245, 246, 238))
    base = draw_fibres(base, rng, size // 2, size // 2, (208, 206, 188), [1], 140)
    d = ImageDraw.Draw(base)
    for _ in range(size // 6):  # flecks (inside the tile so the edges stay seamless)
        x, y = rng.randrange(2, size - 3), rng.randrange(2, size - 3)
        d.point((x, y), fill=(196, 188, 170))
    return base


# =============================================================================================
# Backgrounds
# =============================================================================================
def ridge_profile(w, rng, base, amp, octaves):
    phases = [(rng.uniform(0, 6.3), rng.uniform(0.6, 1.4)) for _ in range(octaves)]
    ys = []
    for x in range(w):
        t = x / w
        v = 0.0
        for k, (ph, f) in enumerate(phases):
            v += math.sin(t * math.pi * 2 * f * (k + 1) * 1.3 + ph) / (k + 1.2)
        ys.append(base - amp * v)
    return ys


def background_landscape(w, h, seed):
    rng = random.Random(seed)
    img = Image.new("RGB", (w, h), (250, 248, 243))
    px = img.load()
    # Sky wash: slightly cooler at the top.
    for y in range(h):
        t = y / h
        c = (int(244 + 6 * t), int(244 + 4 * t), int(241 + 2 * t))
        for x in range(w):
            px[x, y] = c
    d = ImageDraw.Draw(img)
    # A pale vermilion sun.
    d.ellipse((int(w * 0.72), int(h * 0.14), int(w * 0.72) + 70, int(h * 0.14) + 70),
              fill=(246, 218, 206))
    layers = [(0.46, 70, (226, 226, 224)), (0.58, 55, (214, 215, 214)), (0.70, 45, (200, 202, 202)),
              (0.82, 30, (222, 223, 221))]
    for base, amp, col in layers:
        ys = ridge_profile(w, rng, h * base, amp, 5)
        mask = Image.new("L", (w, h), 0)
        md = ImageDraw.Draw(mask)
        md.polygon([(0, h)] + [(x, ys[x]) for x in range(w)] + [(w - 1, h)], fill=255)
        # Mist: the ridge fades downward.
        fade = Image.new("L", (w, h), 0)
        fp = fade.load()
        for y in range(h):
            for x in range(0, w):
                dy = y - ys[x]
                if dy > 0:
                    fp[x, y] = int(255 * max(0.0, 1.0 - dy / (h * 0.22)) ** 1.2)
        mask = ImageChops.multiply(mask, fade).filter(ImageFilter.GaussianBlur(2))
        img = Image.composite(Image.new("RGB", (w, h), col), img, mask)
    grain = Image.new("L", (w, h))
    grain.putdata([rng.randrange(246, 256) for _ in range(w * h)])
    img = ImageChops.multiply(img, Image.merge("RGB", [grain] * 3))
    return img


def background_bamboo(w, h, seed):
    rng = random.Random(seed)
    img = Image.new("RGB", (w, h), (248, 249, 244))
    d = ImageDraw.Draw(img)
    stalk = (208, 219, 204)
    node = (190, 204, 186)
    leaf = (214, 225, 210)
    for sx, sw in ((int(w * 0.12), 18), (int(w * 0.2), 13), (int(w * 0.83), 20), (int(w * 0.9), 12)):
        lean = rng.uniform(-0.06, 0.06)
        y = h
        seg = rng.randint(90, 130)
        while y > -seg:
            y0 = y - seg
            x0 = sx + lean * (h - y)
            x1 = sx + lean * (h - y0)
            d.polygon([(x0, y - 2), (x0 + sw, y - 2), (x1 + sw, y0 + 2), (x1, y0 + 2)], fill=stalk)
            d.line((x1 - 2, y0, x1 + sw + 2, y0), fill=node, width=3)
            if rng.random() < 0.55:
                side = rng.choice((-1, 1))
                bx, by = (x1 + sw / 2, y0)
                for k in range(rng.randint(2, 4)):
                    ang = (-0.9 if side < 0 else -2.2) + rng.uniform(-0.5, 0.5) + k * 0.25 * side
                    ln = rng.uniform(60, 110)
                    tip = (bx + math.cos(ang) * ln * -side, by - math.sin(ang) * ln * 0.5 + 30)
                    mid = ((bx + tip[0]) / 2, (by + tip[1]) / 2)
                    nx, ny = -(tip[1] - by), tip[0] - bx
                    nl = math.hypot(nx, ny) or 1
                    wd = ln * 0.12
                    d.polygon([(bx, by), (mid[0] + nx / nl * wd, mid[1] + ny / nl * wd), tip,
                               (mid[0] - nx / nl * wd, mid[1] - ny / nl * wd)], fill=leaf)
            y = y0
            seg = rng.randint(90, 130)
    img = img.filter(ImageFilter.GaussianBlur(1.2))
    return img


def background_plum(w, h, seed):
    """A pale plum branch entering from the upper left."""
    rng = random.Random(seed)
    img = Image.new("RGB", (w, h), (250, 248, 243))
    d = ImageDraw.Draw(img)
    branch = (206, 200, 192)

    def grow(x, y, ang, ln, wd, depth):
        if depth == 0 or wd < 1:
            return
        n = int(ln / 6)
        for _ in range(n):
            ang += rng.uniform(-0.18, 0.18)
            nx, ny = x + math.cos(ang) * 6, y + math.sin(ang) * 6
            d.line((x, y, nx, ny), fill=branch, width=int(wd))
            x, y = nx, ny
            wd *= 0.985
            if rng.random() < 0.12:
                r = rng.uniform(4, 7)
                d.ellipse((x - r, y - r, x + r, y + r), fill=(246, 214, 210))
                d.ellipse((x - 1.5, y - 1.5, x + 1.5, y + 1.5), fill=(226, 170, 160))
        grow(x, y, ang - rng.uniform(0.3, 0.7), ln * 0.6, wd * 0.7, depth - 1)
        grow(x, y, ang + rng.uniform(0.2, 0.6), ln * 0.55, wd * 0.6, depth - 1)

    grow(-5, h * 0.12, 0.35, w * 0.55, 8, 4)
    return img.filter(ImageFilter.GaussianBlur(0.6))


# =============================================================================================
# Output
# =============================================================================================
def save_bmp(img, path):
    img.convert("RGB").save(path, format="BMP")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=SKIN_ROOT, help="the skin/ folder to write into")
    args = ap.parse_args()
    out = args.out
    for sub in ("default", "stamp", "texture", "background"):
        os.makedirs(os.path.join(out, sub), exist_ok=True)

    skin = {
        "B_Gnd.bmp": draw_control_panel(),
        "SelA.bmp": draw_toggle(False),
        "SelB.bmp": draw_toggle(True),
        "SelC.bmp": draw_zoom_choice(False),
        "SelD.bmp": draw_zoom_choice(True),
        "Sel2A.bmp": draw_grid_check(False),
        "Sel2B.bmp": draw_grid_check(True),
        "black.bmp": palette_button((0, 0, 0)),
        "red.bmp": palette_button((255, 0, 0)),
        "yel.bmp": palette_button((249, 168, 0)),
        "P_Gnd.bmp": draw_play_panel(),
        "PB1.bmp": draw_track("filled"),
        "PB2.bmp": draw_track("empty"),
        "PB3.bmp": draw_knob(),
        "GridSelectA.bmp": draw_grid_row(False),
        "GridSelectB.bmp": draw_grid_row(True),
        "GridTrackA.bmp": draw_grid_track(),
        "GridTrackB.bmp": draw_grid_thumb(),
        "B_Zoom.bmp": draw_zoom_body(),
        "B_ZoomTopA.bmp": draw_zoom_top(True),
        "B_ZoomTopB.bmp": draw_zoom_top(False),
        "GridPanel.bmp": draw_grid_panel(),
        "S_Gnd.bmp": draw_stamp_dialog(),
    }
    for name, img in skin.items():
        save_bmp(img, os.path.join(out, "default", name))

    for name, img in draw_seals().items():
        save_bmp(img, os.path.join(out, "stamp", name))

    textures = {
        "RicePaper64.BMP": texture_rice(64, 21),
        "LaidPaper128.BMP": texture_laid(128, 22),
        "Mottled128.BMP": texture_mottled(128, 23),
    }
    for name, img in textures.items():
        save_bmp(img, os.path.join(out, "texture", name))
    texture_hemp(128, 24).save(os.path.join(out, "texture", "Hemp128.jpg"), quality=92)

    background_landscape(1024, 718, 31).save(os.path.join(out, "background", "Landscape.jpg"),
                                             quality=85, optimize=True)
    background_bamboo(800, 600, 32).save(os.path.join(out, "background", "Bamboo.jpg"), quality=85,
                                         optimize=True)
    save_bmp(background_plum(320, 224, 33), os.path.join(out, "background", "Plum.BMP"))


if __name__ == "__main__":
    main()
