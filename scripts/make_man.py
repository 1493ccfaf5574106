#!/usr/bin/env python3
"""Turns a manual page written in a small Markdown subset into roff (the man macros).

    make_man.py SRC OUT

OUT is written whole; when it ends in .gz it is gzipped at level 9 with no name and mtime 0,
so the same source always gives the same bytes.

The subset, line by line (blocks are separated by blank lines):

  % name(section) | date | source | manual     the first line: the title (.TH); source and
                                                manual may be left out
  # HEADING                                     a section (.SH)
  ## Heading                                    a subsection (.SS)
  term                                          a definition (.TP): a line that is not
  : text                                        indented, followed by a line that starts
    more text                                   with ": "; the definition goes on over the
                                                lines after it indented by two spaces or
                                                more. Several terms may follow each other
                                                in one block.
  : text                                        a block that starts with ": " is a further
                                                paragraph of the last definition (.IP)
      example                                   lines indented by four spaces (or a tab),
                                                not after a term: an example, kept as it
                                                is (.nf/.fi), no inline markup
  text                                          anything else: a paragraph (.PP); its lines
                                                are joined

Inline: **bold**, *italic*, `code` (set in bold, its text as it is). A backslash before one
of \\ * ` makes it plain. Spans do not nest. Words are not hyphenated (.nh): option names,
paths and setting names must stay whole.

Roff is escaped on the way out: backslashes, dots and apostrophes at the start of a line,
apostrophes anywhere (\\(aq), hyphens in code, bold, italics, examples and words that begin with
one (--option) as \\-, and any character outside ASCII as \\[uXXXX], so the page is plain ASCII.
A Chinese character renders as itself on a UTF-8 terminal and as "?" (a .fchar fallback) where
the output device has no glyph for it, without a warning either way.
"""

import gzip
import io
import os
import re
import sys


# Characters from here on (CJK and the scripts after it) have no ASCII stand-in in groff.
WIDE_SCRIPTS = 0x2E80


class PageError(Exception):
    pass


def escape_char(c, minus):
    if c == "\\":
        return "\\e"
    if c == "'":
        return "\\(aq"
    if c == "`":
        return "\\(ga"
    if c == "-" and minus:
        return "\\-"
    if ord(c) > 127:
        return "\\[u%04X]" % ord(c)
    return c


def escape(text, minus):
    """Plain text to roff; minus: every hyphen is a minus sign (option names, commands)."""
    return "".join(escape_char(c, minus) for c in text)


# A word that begins with a hyphen: an option (-o, --plain, --page-mm) or a minus number.
_OPTION_WORD = re.compile(r"(?<![\w-])-[\w-]*")


def escape_prose(text):
    """Running text: hyphens inside words stay hyphens, a word that starts with one is an
    option and all its hyphens are minus signs."""
    out = []
    pos = 0
    for m in _OPTION_WORD.finditer(text):
        out.append(escape(text[pos : m.start()], False))
        out.append(escape(m.group(0), True))
        pos = m.end()
    out.append(escape(text[pos:], False))
    return "".join(out)


def unescape_markup(text):
    return re.sub(r"\\([\\*`])", r"\1", text)


# Spans, in the order they are tried at each position.
_SPAN = re.compile(
    r"`(?P<code>[^`]+)`"
    r"|\*\*(?P<bold>(?:\\.|[^*\\])+)\*\*"
    r"|\*(?P<ital>(?:\\.|[^*\\])+)\*"
    r"|\\(?P<lit>[\\*`])"
)


def inline(text, where):
    out = []
    pos = 0
    for m in _SPAN.finditer(text):
        out.append(escape_prose(text[pos : m.start()]))
        if m.group("code") is not None:
            out.append("\\fB" + escape(m.group("code"), True) + "\\fR")
        elif m.group("bold") is not None:
            out.append("\\fB" + escape(unescape_markup(m.group("bold")), True) + "\\fR")
        elif m.group("ital") is not None:
            out.append("\\fI" + escape(unescape_markup(m.group("ital")), True) + "\\fR")
        else:
            out.append(escape(m.group("lit"), False))
        pos = m.end()
    rest = text[pos:]
    if "`" in rest or "*" in rest:
        raise PageError("%s: unmatched * or ` in %r" % (where, rest))
    out.append(escape_prose(rest))
    return "".join(out)


def text_line(roff):
    """A line of text that roff must not take for a request."""
    if roff.startswith(".") or roff.startswith("'"):
        return "\\&" + roff
    return roff


def quote_arg(text):
    return '"' + escape(text, False).replace('"', '\\(dq') + '"'


def is_indented(line):
    return line.startswith("    ") or line.startswith("\t")


def strip_indent(line):
    return line[1:] if line.startswith("\t") else line[4:]


def convert(source, name="page"):
    lines = source.splitlines()
    if not lines or not lines[0].startswith("% "):
        raise PageError("%s:1: the first line must be the title: %% name(section) | date" % name)
    fields = [f.strip() for f in lines[0][2:].split("|")]
    m = re.fullmatch(r"([\w.+-]+)\((\w+)\)", fields[0])
    if not m or len(fields) < 2 or len(fields) > 4:
        raise PageError("%s:1: the title is %% name(section) | date [| source [| manual]]" % name)
    th = [m.group(1).upper(), m.group(2)] + fields[1:]
    out = [".TH " + " ".join(quote_arg(f) for f in th)]

    i = 1
    n = len(lines)
    in_definition = False  # the last block was a definition (a ": " block may go on with it)
    in_section = False

    def where(k):
        return "%s:%d" % (name, k + 1)

    while i < n:
        line = lines[i]
        if not line.strip():
            i += 1
            continue
        if line.startswith("#"):
            m = re.fullmatch(r"(#{1,2}) (\S.*)", line)
            if not m:
                raise PageError("%s: a heading is '# TEXT' or '## Text'" % where(i))
            macro = ".SH" if len(m.group(1)) == 1 else ".SS"
            if macro == ".SS" and not in_section:
                raise PageError("%s: a subsection outside a section" % where(i))
            in_section = True
            out.append(macro + " " + quote_arg(m.group(2)))
            in_definition = False
            i += 1
            continue
        if not in_section:
            raise PageError("%s: text before the first section" % where(i))
        if is_indented(line):
            # An example: up to the first line that is neither indented nor blank.
            block = []
            while i < n and (is_indented(lines[i]) or not lines[i].strip()):
                block.append(strip_indent(lines[i]) if lines[i].strip() else "")
                i += 1
            while block and not block[-1]:
                block.pop()
            out += [".PP", ".RS 4", ".nf"]
            out += [text_line(escape(b.rstrip(), True)) for b in block]
            out += [".fi", ".RE"]
            in_definition = False
            continue
        if line.startswith(": "):
            if not in_definition:
                raise PageError("%s: a ': ' paragraph without a term before it" % where(i))
            text = [line[2:].strip()]
            i += 1
            while i < n and lines[i].strip() and lines[i].startswith("  "):
                text.append(lines[i].strip())
                i += 1
            out += [".IP", text_line(inline(" ".join(text), where(i)))]
            continue
        if i + 1 < n and lines[i + 1].startswith(": "):
            # One or more definitions.
            while i + 1 < n and lines[i].strip() and lines[i + 1].startswith(": "):
                term = inline(lines[i].strip(), where(i))
                text = [lines[i + 1][2:].strip()]
                i += 2
                while i < n and lines[i].strip() and lines[i].startswith("  "):
                    text.append(lines[i].strip())
                    i += 1
                out += [".TP", text_line(term), text_line(inline(" ".join(text), where(i)))]
            if i < n and lines[i].strip():
                raise PageError("%s: a term needs a ': ' line after it" % where(i))
            in_definition = True
            continue
        # A paragraph.
        text = []
        start = i
        while i < n and lines[i].strip():
            if lines[i].startswith("#") or lines[i].startswith(": "):
                raise PageError("%s: a heading or ': ' line inside a paragraph" % where(i))
            text.append(lines[i].strip())
            i += 1
        out += [".PP", text_line(inline(" ".join(text), where(start)))]
        in_definition = False
    # Terminals without UTF-8 (groff -Tascii, -Tlatin1) have no glyph for Chinese and the
    # like: there each such character falls back to "?" instead of a warning and nothing.
    wide = sorted({c for c in source if ord(c) >= WIDE_SCRIPTS})
    fallbacks = [".if \\n(.g .fchar \\[u%04X] ?" % ord(c) for c in wide]
    out[1:1] = fallbacks + [".nh"]
    return "\n".join(out) + "\n"


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: make_man.py SRC OUT\n")
        return 64
    src, dst = argv[1], argv[2]
    with open(src, encoding="utf-8") as f:
        source = f.read()
    try:
        roff = convert(source, src)
    except PageError as e:
        sys.stderr.write("make_man.py: %s\n" % e)
        return 1
    data = roff.encode("ascii")
    if dst.endswith(".gz"):
        buf = io.BytesIO()
        with gzip.GzipFile(filename="", mode="wb", fileobj=buf, compresslevel=9, mtime=0) as z:
            z.write(data)
        data = buf.getvalue()
    tmp = dst + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, dst)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
