#!/usr/bin/env python3
"""Checks of the manual pages.

    check_man.py render PAGE
        PAGE (roff, gzipped or not) renders without a single warning: through
        groff -man -ww -z for UTF-8 and ASCII, else man --warnings -l. Exit 77 (skipped)
        without either.
    check_man.py stktool STKTOOL PAGE.md
        every command that `STKTOOL --help` lists has a subsection of COMMANDS, every option
        of `STKTOOL COMMAND --help` is shown in bold in the text of that subsection (its
        usage line does not count) or is a term of OPTIONS, every option of `STKTOOL --help` appears in bold, and every exit status it
        lists is a term of EXIT STATUS.
    check_man.py zevo3 COMMAND_LINE.cpp PAGE.md
        every switch letter the program's command line reads is a term of OPTIONS and is in
        the SYNOPSIS, and every switch term of OPTIONS is one it reads.
"""

import gzip
import os
import re
import shutil
import subprocess
import sys

SKIP = 77

OPTION = re.compile(r"(?<![\w/.-])--?[A-Za-z][\w-]*")


class Page:
    """A page source cut into sections and subsections; for each its bold words and terms."""

    def __init__(self, path):
        with open(path, encoding="utf-8") as f:
            self.lines = f.read().splitlines()
        self.path = path
        # (section, subsection) -> list of lines
        self.parts = {}
        section, sub = "", ""
        for line in self.lines[1:]:
            m = re.match(r"(#{1,2}) (.*)", line)
            if m and len(m.group(1)) == 1:
                section, sub = m.group(2).strip(), ""
                continue
            if m:
                sub = m.group(2).strip().split()[0]
                self.parts.setdefault((section, sub), [])
                continue
            self.parts.setdefault((section, sub), []).append(line)

    def lines_of(self, section, sub=None):
        out = []
        for (s, u), lines in self.parts.items():
            if s == section and (sub is None or u == sub):
                out += lines
        return out

    def subsections(self, section):
        return [u for (s, u) in self.parts if s == section and u]

    @staticmethod
    def terms(lines):
        """The term lines of definitions, markup removed."""
        out = []
        for i, line in enumerate(lines[:-1]):
            is_term = line.strip() and not line.startswith((" ", "\t", ": "))
            if is_term and lines[i + 1].startswith(": "):
                out.append(re.sub(r"[*`\\]", "", line))
        return out

    @staticmethod
    def bold_words(lines):
        """Every word shown in bold or as code."""
        text = " ".join(lines)
        spans = re.findall(r"\*\*(.+?)\*\*|`([^`]+)`", text)
        words = set()
        for bold, code in spans:
            words.update((bold or code).replace(",", " ").split())
        return words


def run(args):
    r = subprocess.run(args, capture_output=True, text=True)
    return r.returncode, r.stdout, r.stderr


def check_render(page):
    with open(page, "rb") as f:
        data = f.read()
    if page.endswith(".gz"):
        data = gzip.decompress(data)
    env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80")
    groff = shutil.which("groff")
    man = shutil.which("man")
    # On a UTF-8 terminal and a plain ASCII one: the page's Chinese renders on the first and
    # falls back to "?" on the second, quietly on both.
    if groff:
        for device in ("-Tutf8", "-Tascii"):
            cmd = [groff, "-man", device, "-ww", "-z"]
            r = subprocess.run(cmd, input=data, capture_output=True, env=env)
            if r.returncode != 0 or r.stderr.strip():
                break
    elif man:
        cmd = [man, "--warnings=w", "-l", "-"]
        r = subprocess.run(cmd, input=data, capture_output=True, env=env)
    else:
        print("neither groff nor man is installed: not checked")
        return SKIP
    err = r.stderr.decode("utf-8", "replace")
    if r.returncode != 0 or err.strip():
        print("%s: %s says (status %d):\n%s" % (page, " ".join(cmd), r.returncode, err))
        return 1
    print("%s renders without warnings (%s)" % (page, os.path.basename(cmd[0])))
    return 0


def check_stktool(binary, page_path):
    page = Page(page_path)
    faults = []
    status, out, err = run([binary, "--help"])
    if status != 0:
        print("%s --help: status %d\n%s" % (binary, status, err))
        return 1

    commands, statuses, top_options = [], [], set()
    block = ""
    for line in out.splitlines():
        if re.match(r"\S.*:$", line):
            block = line[:-1]
            continue
        if block == "commands":
            m = re.match(r"  (\w[\w-]*)\b", line)
            if m:
                commands.append(m.group(1))
        elif block == "exit status":
            m = re.match(r"  (\d+(?:-\d+)?)\s", line)
            if m:
                statuses.append(m.group(1))
        if block != "commands":
            top_options.update(OPTION.findall(line))
    if not commands or not statuses:
        print("%s --help: no commands or exit statuses found; has its layout changed?" % binary)
        return 1

    everywhere = Page.bold_words(page.lines)
    for opt in sorted(top_options):
        if opt not in everywhere:
            faults.append("%s (stktool --help) is not shown in bold on the page" % opt)

    general = " ".join(Page.terms(page.lines_of("OPTIONS")))
    subs = page.subsections("COMMANDS")
    for cmd in commands:
        if cmd not in subs:
            faults.append("the command %s has no subsection '## %s' under COMMANDS" % (cmd, cmd))
            continue
        status, out, err = run([binary, cmd, "--help"])
        if status != 0:
            faults.append("stktool %s --help: status %d: %s" % (cmd, status, err.strip()))
            continue
        options = set()
        for line in out.splitlines():
            if line.startswith("usage:"):
                options.update(OPTION.findall(line))
            elif re.match(r"\s+-", line):  # an option line: its names, before the description
                options.update(OPTION.findall(line.split("   ")[0]))
        # Said in the text of the command's subsection, not only in its usage line.
        text = [ln for ln in page.lines_of("COMMANDS", cmd) if not ln.startswith("**stktool ")]
        shown = Page.bold_words(text)
        for opt in sorted(options):
            in_general = re.search(r"(?<![\w-])%s(?![\w-])" % re.escape(opt), general)
            if opt not in shown and not in_general:
                faults.append("stktool %s: %s is not on the page" % (cmd, opt))

    status_terms = [t.strip() for t in Page.terms(page.lines_of("EXIT STATUS"))]
    for s in statuses:
        if s not in status_terms:
            faults.append("the exit status %s is not a term of EXIT STATUS" % s)

    for f in faults:
        print(f)
    if not faults:
        print(
            "stktool.1 shows %d commands, their options and %d exit statuses"
            % (len(commands), len(statuses))
        )
    return 1 if faults else 0


def switch_letters(source_path):
    """The letters of the switches the command line reads: the cases of its switch."""
    with open(source_path, encoding="utf-8") as f:
        source = f.read()
    start = source.find("::RunCommandLine(")
    if start < 0:
        return None
    end = source.find("\n}\n", start)
    return sorted(set(re.findall(r"case '(\w)':", source[start:end])))


def check_zevo3(source_path, page_path):
    letters = switch_letters(source_path)
    if not letters:
        print("%s: no RunCommandLine with switch cases found; has it moved?" % source_path)
        return 1
    page = Page(page_path)
    terms = Page.terms(page.lines_of("OPTIONS"))
    documented = set()
    for t in terms:
        documented.update(re.findall(r"(?<!\w)/(\w):", t))
    synopsis = " ".join(page.lines_of("SYNOPSIS"))
    faults = []
    for c in letters:
        if c not in documented:
            faults.append("the switch /%s is not a term of OPTIONS" % c)
        if "/%s:" % c not in synopsis:
            faults.append("the switch /%s is not in the SYNOPSIS" % c)
    for c in sorted(documented - set(letters)):
        faults.append("OPTIONS has /%s, which the command line does not read" % c)
    for f in faults:
        print(f)
    if not faults:
        print("zevo3.1 shows the switches /%s" % " /".join(letters))
    return 1 if faults else 0


def main(argv):
    if len(argv) == 3 and argv[1] == "render":
        return check_render(argv[2])
    if len(argv) == 4 and argv[1] == "stktool":
        return check_stktool(argv[2], argv[3])
    if len(argv) == 4 and argv[1] == "zevo3":
        return check_zevo3(argv[2], argv[3])
    sys.stderr.write(__doc__)
    return 64


if __name__ == "__main__":
    sys.exit(main(sys.argv))
