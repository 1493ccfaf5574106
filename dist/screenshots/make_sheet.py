"""Writes the sheet of the screenshot, 山水 with a seal, as the JSON form of a stroke file.

usage: make_sheet.py PROGRAM_FOLDER OUT.json  (then: stktool import OUT.json -o shanshui.stk)
The strokes are drawn from knots (x, y, brush radius) in a 100-unit box per character, joined
by straight lines or, through a ('c', x, y) control point, by quadratic curves; the seal is
Stamp/Seal01.BMP from the program folder, its red pixels as ink.
"""
import base64, json, math, random, subprocess, sys

folder, out_path = sys.argv[1], sys.argv[2]
random.seed(7)

def bez(p0, c, p1, t):
    a = (1-t)*(1-t); b = 2*(1-t)*t; d = t*t
    return (a*p0[0]+b*c[0]+d*p1[0], a*p0[1]+b*c[1]+d*p1[1])

def stroke(knots, box, unit):
    """knots: list of (x, y, r) and optional ('c', x, y) control points between them (quadratic).
    Returns samples in paper pixels, spaced ~1.6 px, ending with a pen-up sample."""
    ox, oy = box
    pts = []
    i = 0
    segs = []
    while i < len(knots) - 1:
        a = knots[i]
        if knots[i+1][0] == 'c':
            c = knots[i+1][1:]; b = knots[i+2]; i += 2
        else:
            b = knots[i+1]; c = ((a[0]+b[0])/2, (a[1]+b[1])/2); i += 1
        segs.append((a, c, b))
    out = []
    for a, c, b in segs:
        p0 = (ox + a[0]*unit, oy + a[1]*unit); p1 = (ox + b[0]*unit, oy + b[1]*unit)
        cc = (ox + c[0]*unit, oy + c[1]*unit)
        length = math.dist(p0, cc) + math.dist(cc, p1)
        n = max(2, int(length / 1.6))
        for k in range(n):
            t = k / n
            x, y = bez(p0, cc, p1, t)
            r = (a[2] + (b[2]-a[2]) * t) * unit
            out.append([x, y, r])
    last = knots[-1]
    out.append([ox+last[0]*unit, oy+last[1]*unit, last[2]*unit])
    # a hand never holds still: a slow wobble of pressure and path
    ph = random.random()*6
    for j, s in enumerate(out):
        s[2] *= 1 + 0.06*math.sin(j/9 + ph)
        s[0] += 0.6*math.sin(j/13 + ph); s[1] += 0.6*math.cos(j/17 + ph)
    samples = [{"x": round(s[0], 2), "y": round(s[1], 2), "radius": round(max(s[2], 0.3), 2)} for s in out]
    samples.append({"x": samples[-1]["x"], "y": samples[-1]["y"], "radius": 0})
    return {"kind": "ink", "color": 0, "samples": samples}

# 山: the middle vertical, the left vertical turning along the foot, the right vertical
shan = [
    [(47,4,2.2),(50,9,6.2),(51,14,4.8),(50.5,60,3.9),(50.5,80,4.4),(50,86,2.0)],
    [(16,34,2.0),(18,38,5.6),(19,44,4.6),(19.5,76,4.2),(20,82,4.6),(26,82,3.4),(60,81,2.8),(80,80,3.0),(84,80,4.4),(86,82,2.0)],
    [(80,30,2.0),(82,34,5.6),(83,40,4.8),(83,70,4.4),(83,90,4.6),(82.5,95,1.4)],
]
# 水: the vertical hook, the left turning sweep, the short falling stroke, the long sweep to the right
shui = [
    [(47,3,2.2),(50,8,6.2),(51,14,4.8),(51.5,60,3.9),(51.5,84,4.6),(51,90,5.0),(47,88,2.6),(42,85,0.8)],
    [(14,33,2.0),(17,35,4.6),(30,35,3.6),(38,33,4.8),(39,36,4.6),('c',30,58),(10,74,0.9)],
    [(84,22,2.2),(83,26,5.4),('c',72,42),(60,50,1.2)],
    [(57,45,1.8),(60,50,3.0),('c',72,74),(86,86,6.6),(92,90,5.4),(99,91,0.9)],
]

entries = []
def write(char, box, unit):
    for k in char: entries.append(stroke(k, box, unit))
write(shan, (80, 130), 3.9)
write(shui, (520, 110), 4.1)

# the seal from the stamp folder, red pixels as ink
pbm = subprocess.run(["convert", folder + "/Stamp/Seal01.BMP", "-colorspace", "gray",
                      "-threshold", "60%", "pbm:-"], capture_output=True, check=True).stdout
parts = pbm.split(b"\n", 2)
w, h = map(int, parts[1].split()); data = parts[2]
rowbytes = (w + 7)//8
bits = bytes(int(f"{b:08b}"[::-1], 2) for b in data[:rowbytes*h])
entries.append({"kind": "stamp", "attr": 255, "x": 916, "y": 528, "width": 84, "height": 84,
                "mask": {"width": w, "height": h, "bits": base64.b64encode(bits).decode()}})

doc = {"format": "zevo3-strokes", "version": 1, "paper": {"width": 1024, "height": 718},
       "author": "Me", "entries": entries}
with open(out_path, "w", encoding="utf-8") as f:
    json.dump(doc, f, ensure_ascii=False)
