#!/bin/sh
# take.sh PROGRAM_FOLDER [OUT.png]
#
# Takes the program's screenshot: starts a virtual 1600x900 display, opens shanshui.stk (the
# sheet make_sheet.py writes) in the program, opens the control panel, folds the zoom window and
# saves the screen scaled to 1280x720. Needs Xvfb, xdotool and ImageMagick (import, convert).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
folder=$1
out=${2:-$here/zevo3.png}
display=:${ZEVO3_SHOT_DISPLAY:-78}

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1600x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
sleep 2
# An author name in the settings: no first-use dialog over the sheet.
printf 'Author text "Me"\n' >"$work/settings"
mkdir -p "$work/state"
DISPLAY=$display ZEVO3_SETTINGS="$work/settings" ZEVO3_STATE_DIR="$work/state" \
  "$folder/zevo3" "$here/shanshui.stk" >"$work/app.log" 2>&1 &
app_pid=$!
sleep 4
# The play bar's "Control panel" button, then the zoom window's "fold".
DISPLAY=$display xdotool mousemove 1231 814 click 1
sleep 1.5
DISPLAY=$display xdotool mousemove 1294 481 click 1
sleep 1
DISPLAY=$display xdotool mousemove 1599 899
sleep 0.5
DISPLAY=$display import -window root "$work/shot.png"
convert "$work/shot.png" -resize 1280x720 -strip -define png:compression-level=9 "$out"
echo "$out"
