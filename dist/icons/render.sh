#!/bin/sh
# Renders the PNG sizes of the program icon and the stroke file icon from their SVG drawings
# into <N>x<N>/apps and <N>x<N>/mimetypes beside this script (the hicolor theme layout).
# 16 to 24 px come from the simplified drawing (no dry brush, a plain seal) that stays sharp
# at that size. Needs rsvg-convert (librsvg2-bin).
set -eu
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "$0: rsvg-convert not found (librsvg2-bin)" >&2; exit 1; }

app=com.dravlab.Zevo3
mime=application-x-zevo3-stroke
for n in 16 22 24 32 48 64 128 256; do
  if [ "$n" -le 24 ]; then src=$app.small.svg; else src=$app.svg; fi
  mkdir -p "${n}x${n}/apps" "${n}x${n}/mimetypes"
  rsvg-convert -w "$n" -h "$n" -o "${n}x${n}/apps/$app.png" "$src"
  rsvg-convert -w "$n" -h "$n" -o "${n}x${n}/mimetypes/$mime.png" "$mime.svg"
done
