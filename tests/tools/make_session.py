#!/usr/bin/env python3
"""Writes the recorded pen session used by the end-to-end session test.

Each line is one event of the main window, in the order a writer made them:
  pen X Y P        a tablet packet at screen pixel (X, Y) with raw pressure P (0 = lifted)
  swatch ROW TAG   a colour from the ink palettes
  brush INDEX      a size from the brush picker (0-based cell)
  tool             the brush/fill tool button
  clear | first | prev | next | last | play N | stop
  check NAME       the test compares the page, the overview and the history here
"""
import math
import sys


def stroke(out, points, pressures):
    for (x, y), p in zip(points, pressures):
        out.append(f"pen {x:.3f} {y:.3f} {p}")
    x, y = points[-1]
    out.append(f"pen {x:.3f} {y:.3f} 0")


def swell(n, low, high):
    """Pressure rising fast, held, then easing off: how a brush stroke is pressed."""
    ps = []
    for i in range(n):
        t = i / max(n - 1, 1)
        ps.append(int(low + (high - low) * math.sin(math.pi * min(t * 1.4, 1.0) * 0.5 +
                                                     (0 if t < 0.7 else (t - 0.7) * 2.0))))
    return [max(1, min(1023, p)) for p in ps]


def line(x0, y0, x1, y1, n):
    return [(x0 + (x1 - x0) * i / (n - 1), y0 + (y1 - y0) * i / (n - 1)) for i in range(n)]


def arc(cx, cy, r, a0, a1, n):
    return [(cx + r * math.cos(a0 + (a1 - a0) * i / (n - 1)),
             cy + r * math.sin(a0 + (a1 - a0) * i / (n - 1))) for i in range(n)]


def main():
    out = []
    # A horizontal stroke, a vertical one and a hooked one, each pressed differently.
    stroke(out, line(120, 160, 420, 172, 40), swell(40, 200, 1000))
    stroke(out, line(270, 90, 262, 420, 45), swell(45, 500, 900))
    stroke(out, line(180, 300, 380, 330, 30) + arc(380, 360, 30, -math.pi / 2, math.pi / 3, 12),
           swell(42, 100, 640))
    out.append("check three_strokes")
    # A red ring, filled with the fill tool, then back to the brush.
    out.append("swatch 1 0")
    out.append("brush 17")
    stroke(out, arc(700, 300, 90, 0, 2 * math.pi * 1.05, 70), [800] * 70)
    out.append("tool")
    stroke(out, [(700, 300)], [700])
    out.append("tool")
    out.append("check ring_and_fill")
    # Two steps back, one forward, and a new stroke that replaces what was stepped over.
    out.append("prev")
    out.append("prev")
    out.append("check two_back")
    out.append("next")
    out.append("swatch 2 1")
    out.append("brush 9")
    stroke(out, arc(620, 520, 120, math.pi, 2 * math.pi, 50), swell(50, 300, 1023))
    out.append("check rewritten")
    # Walk the history and replay part of it.
    out.append("first")
    out.append("last")
    out.append("check walked")
    out.append("first")
    out.append("play 12")
    out.append("stop")
    out.append("check replay_stopped")
    out.append("last")
    # Clear, and a last stroke in black on the fresh sheet.
    out.append("clear")
    out.append("swatch 0 0")
    out.append("brush 16")
    stroke(out, line(500, 600, 900, 560, 60), swell(60, 50, 1023))
    out.append("check after_clear")
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
