#!/usr/bin/env python3
"""Zevo 3 started by another program, as an inscription tool, run for real under an X server.

The program is started with a stroke file to continue and the files to deliver at close; one
more stroke is written with the mouse and the window is closed from the control panel. The
calling program must get a 2048 x 1436 baseline JPEG and a stroke file holding the opened
history and the new stroke, with exit status 0; when the stroke file cannot be written, a
non-zero exit status and no partial file.

usage: inscription_tool_test.py PROGRAM_FOLDER FIXTURE.stk   (DISPLAY must name an X server)
"""
import json
import os
import struct
import subprocess
import sys
import tempfile
import time


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def workspace_origin():
    """Where the window, over the whole screen, shows the 1024 x 768 workspace: centred on a
    larger screen, its bottom edge on the screen's on a shorter one."""
    out = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True,
                         check=True).stdout.split()
    w, h = int(out[0]), int(out[1])
    return max((w - 1024) // 2, 0), (h - 768) // 2 if h >= 768 else h - 768


def wait_for_window(proc, timeout=90):
    end = time.time() + timeout
    while time.time() < end:
        if proc.poll() is not None:
            return False
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Zevo"],
                               capture_output=True)
        if found.returncode == 0 and found.stdout.strip() and painted():
            time.sleep(1.5)  # let it settle and take the pointer
            return True
        time.sleep(0.3)
    return False


def painted():
    """Whether the window has painted its play bar (a slow build shows black for a while, and
    input sent before that is lost)."""
    pixel = subprocess.run(["import", "-window", "root", "-crop", "1x1+1000+760", "-depth", "8",
                            "txt:-"], capture_output=True, text=True)
    return pixel.returncode == 0 and "#000000" not in pixel.stdout


def jpeg_frame(path):
    """(baseline, width, height) from the JPEG's frame header."""
    data = open(path, "rb").read()
    i = 2
    while i + 4 <= len(data):
        if data[i] != 0xFF:
            return None
        marker = data[i + 1]
        length = struct.unpack(">H", data[i + 2:i + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            height, width = struct.unpack(">HH", data[i + 5:i + 9])
            return marker == 0xC0, width, height
        i += 2 + length
    return None


def run(folder, args, work, close_message_expected):
    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = "xcb"
    env["ZEVO3_SETTINGS"] = os.path.join(work, "settings")
    env["ZEVO3_STATE_DIR"] = os.path.join(work, "state")
    with open(env["ZEVO3_SETTINGS"], "w") as f:
        f.write('Author text "Caller"\n')
    proc = subprocess.Popen([os.path.join(folder, "zevo3"), *args], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        if not wait_for_window(proc):
            out = proc.stdout.read().decode(errors="replace") if proc.poll() is not None else ""
            raise SystemExit("FAIL: the window did not come up\n" + out)
        ox, oy = workspace_origin()
        # One more stroke across the sheet.
        xdo("mousemove", ox + 300, oy + 300, "mousedown", 1)
        for i in range(1, 21):
            xdo("mousemove", ox + 300 + 6 * i, oy + 300 + 3 * i)
            time.sleep(0.01)
        xdo("mouseup", 1)
        time.sleep(0.5)
        xdo("mousemove", ox + 940, oy + 745, "click", 1)  # the play bar's control panel button
        time.sleep(0.8)
        xdo("mousemove", ox + 966, oy + 690, "click", 1)  # the control panel's close region
        if close_message_expected:
            time.sleep(3)
            xdo("key", "Return")  # the message that a file could not be delivered
        return proc.wait(timeout=60)
    finally:
        if proc.poll() is None:
            proc.kill()


def main():
    folder, fixture = sys.argv[1], sys.argv[2]
    stktool = os.path.join(folder, "stktool")
    failures = []
    with tempfile.TemporaryDirectory() as work:
        page, out = os.path.join(work, "page.jpg"), os.path.join(work, "out.stk")
        status = run(folder, ["/w:2048", "/h:1436", "/o:" + page, "/s:" + out, fixture], work,
                     False)
        if status != 0:
            failures.append("exit status %d after a complete delivery" % status)
        frame = jpeg_frame(page) if os.path.exists(page) else None
        if frame != (True, 2048, 1436):
            failures.append("the picture is %r, not a 2048 x 1436 baseline JPEG" % (frame,))
        opened = json.loads(subprocess.run([stktool, "info", fixture], capture_output=True).stdout)
        info = subprocess.run([stktool, "info", out], capture_output=True)
        if info.returncode != 0:
            failures.append("the stroke file cannot be read: %d" % info.returncode)
        else:
            got = json.loads(info.stdout)
            if got["count"] != opened["count"] + 1:
                failures.append("the stroke file holds %d entries, want %d" %
                                (got["count"], opened["count"] + 1))

        bad = os.path.join(work, "missing", "out.stk")
        status = run(folder, ["/s:" + bad, fixture], work, True)
        if status == 0:
            failures.append("exit status 0 although the stroke file could not be written")
        if os.path.exists(os.path.dirname(bad)):
            failures.append("something was written for the undeliverable stroke file")
    for f in failures:
        print("FAIL: " + f)
    if not failures:
        print("inscription tool: both runs as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
