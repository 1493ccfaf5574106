#!/usr/bin/env python3
"""The page checks find what a page leaves out, against a stand-in stktool and command line.

    test_check_man.py PATH/TO/check_man.py
"""

import contextlib
import importlib.util
import io
import os
import stat
import sys
import tempfile
import textwrap
import unittest

spec = importlib.util.spec_from_file_location("check_man", sys.argv.pop(1))
check_man = importlib.util.module_from_spec(spec)
spec.loader.exec_module(check_man)

FAKE_STKTOOL = textwrap.dedent(
    """\
    #!/usr/bin/env python3
    import sys
    args = sys.argv[1:]
    if args == ["--help"]:
        print("usage: stktool COMMAND ARGUMENTS\\n\\ncommands:\\n  info FILE\\n      print it")
        print("  render FILE -o OUT [--size WxH]\\n      render it\\n\\nexit status:")
        print("  0    done\\n  2-6  info only\\n\\nstktool COMMAND --help shows one command.")
    elif args == ["info", "--help"]:
        print("usage: stktool info FILE\\nPrints it.\\n  -h, --help   show this help")
    elif args == ["render", "--help"]:
        print("usage: stktool render FILE -o OUT [options]\\nRenders it.")
        print("  -o OUT       the file\\n  --size WxH   its size, --not-an-option here")
        print("               (default 1x1)\\n  -h, --help   show this help")
    else:
        sys.exit(64)
    """
)

STKTOOL_PAGE = textwrap.dedent(
    """\
    % stktool(1) | 2026-01-02

    # OPTIONS

    **-h**, **--help**
    : help

    # COMMANDS

    ## info

    **stktool info** *FILE*

    Prints it.

    ## render

    **stktool render** *FILE* **-o** *OUT* [**--size** *WxH*]

    **-o** *OUT*
    : the file

    **--size** *WxH*
    : its size

    # EXIT STATUS

    **0**
    : done

    **2-6**
    : info only
    """
)

COMMAND_LINE = textwrap.dedent(
    """\
    bool IsSwitch(char c) { switch (c) { case 'x': return true; default: return false; } }
    bool TZevo3Win::RunCommandLine() {
      switch (letter) {
        case 'b':
          break;
        case 'w':
          break;
      }
    }
    """
)

ZEVO3_PAGE = textwrap.dedent(
    """\
    % zevo3(1) | 2026-01-02

    # SYNOPSIS

    **zevo3** [**/b:***IMAGE*] [**/w:***WIDTH*]

    # OPTIONS

    **/b:***IMAGE*
    : the paper

    **/w:***WIDTH*
    : the width
    """
)


class Checks(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.stktool = self.write("stktool", FAKE_STKTOOL)
        os.chmod(self.stktool, os.stat(self.stktool).st_mode | stat.S_IXUSR)
        self.command_line = self.write("command_line.cpp", COMMAND_LINE)

    def tearDown(self):
        self.dir.cleanup()

    def write(self, name, text):
        path = os.path.join(self.dir.name, name)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def run_check(self, *args):
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = check_man.main(["check_man.py"] + list(args))
        return status, out.getvalue()

    def stktool_faults(self, page):
        return self.run_check("stktool", self.stktool, self.write("stktool.1.md", page))

    def zevo3_faults(self, page):
        return self.run_check("zevo3", self.command_line, self.write("zevo3.1.md", page))

    def test_complete_pages_pass(self):
        self.assertEqual(self.stktool_faults(STKTOOL_PAGE)[0], 0)
        self.assertEqual(self.zevo3_faults(ZEVO3_PAGE)[0], 0)

    def test_stktool_page_that_leaves_something_out(self):
        for old, new, fault in [
            ("## info", "## inform", "the command info has no subsection"),
            ("**--size** *WxH*\n:", "**--sizes** *WxH*\n:", "stktool render: --size is not"),
            ("**-o** *OUT*\n:", "*-o* *OUT*\n:", "stktool render: -o is not"),
            ("**-h**, **--help**\n", "**--help**\n", "stktool info: -h is not"),
            ("**2-6**", "**2-5**", "the exit status 2-6 is not"),
        ]:
            with self.subTest(fault=fault):
                self.assertIn(old, STKTOOL_PAGE)
                status, out = self.stktool_faults(STKTOOL_PAGE.replace(old, new))
                self.assertEqual(status, 1)
                self.assertIn(fault, out)

    def test_stktool_help_words_that_are_not_options_are_not_asked_for(self):
        status, out = self.stktool_faults(STKTOOL_PAGE)
        self.assertNotIn("--not-an-option", out)

    def test_zevo3_page_that_misses_or_invents_a_switch(self):
        for old, new, fault in [
            ("**/w:***WIDTH*\n:", "**WIDTH**\n:", "the switch /w is not a term of OPTIONS"),
            ("[**/w:***WIDTH*]", "", "the switch /w is not in the SYNOPSIS"),
            ("**/b:***IMAGE*\n:", "**/q:***IMAGE*\n:", "OPTIONS has /q, which"),
        ]:
            with self.subTest(fault=fault):
                self.assertIn(old, ZEVO3_PAGE)
                status, out = self.zevo3_faults(ZEVO3_PAGE.replace(old, new))
                self.assertEqual(status, 1)
                self.assertIn(fault, out)

    def test_zevo3_switches_are_read_from_the_command_line_reader_only(self):
        # The 'x' of another function is not a switch.
        self.assertEqual(check_man.switch_letters(self.command_line), ["b", "w"])
        status, out = self.run_check("zevo3", self.write("other.cpp", "int x;\n"), self.stktool)
        self.assertEqual(status, 1)
        self.assertIn("has it moved", out)

    def test_render_finds_warnings(self):
        page = self.write("bad.1", '.TH "X" "1"\n.SH "NAME"\n.nosuchmacro\n')
        status, out = self.run_check("render", page)
        if status == check_man.SKIP:
            self.skipTest("neither groff nor man is installed")
        self.assertEqual(status, 1)
        self.assertIn("nosuchmacro", out)


if __name__ == "__main__":
    unittest.main()
