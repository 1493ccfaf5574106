#!/usr/bin/env python3
"""The Markdown-to-roff converter of the manual pages: its blocks, spans and escapes.

    test_make_man.py PATH/TO/make_man.py
"""

import gzip
import importlib.util
import os
import sys
import tempfile
import unittest

spec = importlib.util.spec_from_file_location("make_man", sys.argv.pop(1))
make_man = importlib.util.module_from_spec(spec)
spec.loader.exec_module(make_man)

TITLE = "% tool(1) | 2026-01-02 | Tool 1.0 | User Commands\n"


def body(markdown):
    """The roff lines after .TH and .nh of a page with this body."""
    lines = make_man.convert(TITLE + markdown).splitlines()
    assert lines[1] == ".nh"
    return lines[2:]


class Blocks(unittest.TestCase):
    def test_title_sections_and_paragraphs(self):
        out = make_man.convert(TITLE + "# NAME\n\ntool - does\nthings\n\n## Sub\n\nMore.\n")
        self.assertEqual(
            out.splitlines(),
            [
                '.TH "TOOL" "1" "2026-01-02" "Tool 1.0" "User Commands"',
                ".nh",
                '.SH "NAME"',
                ".PP",
                "tool \\- does things",
                '.SS "Sub"',
                ".PP",
                "More.",
            ],
        )

    def test_definitions_their_continuations_and_further_paragraphs(self):
        out = body(
            "# OPTIONS\n\n**-o** *OUT*\n: the file\n  to write\n**--plain**\n: plain\n\n: again\n"
        )
        self.assertEqual(
            out,
            [
                '.SH "OPTIONS"',
                ".TP",
                "\\fB\\-o\\fR \\fIOUT\\fR",
                "the file to write",
                ".TP",
                "\\fB\\-\\-plain\\fR",
                "plain",
                ".IP",
                "again",
            ],
        )

    def test_example_is_kept_as_written(self):
        out = body("# EXAMPLES\n\n    tool --x 'a' *b*\n\n      indented\n\nAfter.\n")
        self.assertEqual(
            out,
            [
                '.SH "EXAMPLES"',
                ".PP",
                ".RS 4",
                ".nf",
                "tool \\-\\-x \\(aqa\\(aq *b*",
                "",
                "  indented",
                ".fi",
                ".RE",
                ".PP",
                "After.",
            ],
        )

    def test_malformed_sources_are_refused_with_their_line(self):
        for source, line in [
            ("# A\n\nterm\n: text\nplain line\n", ":6:"),
            ("# A\n\n: no term\n", ":4:"),
            ("text first\n", ":2:"),
            ("## Sub first\n", ":2:"),
            ("# A\n\nan *open span\n", ":4:"),
        ]:
            with self.subTest(source=source):
                with self.assertRaisesRegex(make_man.PageError, line):
                    make_man.convert(TITLE + source, "p")
        with self.assertRaises(make_man.PageError):
            make_man.convert("no title\n")


class Escapes(unittest.TestCase):
    def test_lines_that_roff_would_take_for_requests(self):
        out = body("# A\n\n.hidden and\n'quoted\n")
        self.assertEqual(out[-1], "\\&.hidden and \\(aqquoted")
        out = body("# A\n\nterm\n: .dot\n\n    .also\n")
        self.assertIn("\\&.dot", out)
        self.assertIn("\\&.also", out)

    def test_backslashes_and_escaped_markup(self):
        out = body("# A\n\nC:\\dir, \\\\, a \\* b, \\`x\\`, **a\\*b**\n")
        self.assertEqual(out[-1], "C:\\edir, \\e, a * b, \\(gax\\(ga, \\fBa*b\\fR")

    def test_hyphens_of_options_and_of_words(self):
        out = body("# A\n\nclose-time --keep-password x -o 2-6 `a-b` *c-d*\n")
        self.assertEqual(
            out[-1],
            "close-time \\-\\-keep\\-password x \\-o 2-6 \\fBa\\-b\\fR \\fIc\\-d\\fR",
        )

    def test_spans_next_to_each_other(self):
        out = body("# A\n\n(**x**) **/b:***IMG*\n")
        self.assertEqual(out[-1], "(\\fBx\\fR) \\fB/b:\\fR\\fIIMG\\fR")

    def test_characters_outside_ascii(self):
        out = make_man.convert(TITLE + "# A\n\n題字 caf\u00e9 \U0001F58C\n")
        out.encode("ascii")
        self.assertIn("\\[u984C]\\[u5B57] caf\\[u00E9] \\[u1F58C]", out)
        # Chinese falls back to "?" where the device has no glyph; an accented letter has its
        # own stand-in in groff.
        lines = out.splitlines()
        self.assertEqual(
            lines[1:4],
            [
                ".if \\n(.g .fchar \\[u5B57] ?",
                ".if \\n(.g .fchar \\[u984C] ?",
                ".if \\n(.g .fchar \\[u1F58C] ?",
            ],
        )
        self.assertEqual(lines[4:6], [".nh", '.SH "A"'])


class Files(unittest.TestCase):
    def test_gzip_is_the_same_bytes_every_time(self):
        with tempfile.TemporaryDirectory() as d:
            src = os.path.join(d, "tool.1.md")
            with open(src, "w", encoding="utf-8") as f:
                f.write(TITLE + "# NAME\n\ntool - does\n")
            a, b, plain = (os.path.join(d, n) for n in ("a.1.gz", "b.1.gz", "tool.1"))
            self.assertEqual(make_man.main(["make_man.py", src, a]), 0)
            os.utime(src, (1, 1))
            self.assertEqual(make_man.main(["make_man.py", src, b]), 0)
            self.assertEqual(make_man.main(["make_man.py", src, plain]), 0)
            with open(a, "rb") as fa, open(b, "rb") as fb, open(plain, "rb") as fp:
                za, zb, p = fa.read(), fb.read(), fp.read()
            self.assertEqual(za, zb)
            self.assertEqual(za[4:8], b"\0\0\0\0")  # no time stamp
            self.assertEqual(gzip.decompress(za), p)
            self.assertTrue(p.startswith(b'.TH "TOOL"'))

    def test_a_bad_source_leaves_no_output(self):
        with tempfile.TemporaryDirectory() as d:
            src = os.path.join(d, "bad.1.md")
            with open(src, "w", encoding="utf-8") as f:
                f.write("no title\n")
            out = os.path.join(d, "bad.1.gz")
            self.assertEqual(make_man.main(["make_man.py", src, out]), 1)
            self.assertEqual(os.listdir(d), ["bad.1.md"])


if __name__ == "__main__":
    unittest.main()
