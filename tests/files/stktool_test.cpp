#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "gfx/bmp_file.h"
#include "tests/files/layout_bytes.h"
#include "tests/support/png_reader.h"

namespace zevo::files {
namespace {

namespace fs = std::filesystem;
using testing::LayoutBytes;

struct ToolRun {
  int exit = -1;
  std::string out;
  std::string err;  // the error output, unless it went to out
};

// What stktool writes to its standard output, and with_errors its error output too.
ToolRun Stktool(const std::string& arguments, bool with_errors = false) {
  const std::string err_file =
      (std::filesystem::temp_directory_path() / ("zevo-stktool-err-" + std::to_string(::getpid())))
          .string();
  const std::string command = std::string("'") + ZEVO_PROGRAM_DIR + "/stktool' " + arguments +
                              (with_errors ? " 2>&1" : " 2>'" + err_file + "'");
  ToolRun r;
  FILE* p = ::popen(command.c_str(), "r");
  if (p == nullptr) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.out.append(buffer, n);
  const int status = ::pclose(p);
  r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (!with_errors) {
    std::ifstream e(err_file, std::ios::binary);
    r.err.assign(std::istreambuf_iterator<char>(e), {});
    std::filesystem::remove(err_file);
  }
  return r;
}

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), {});
}

class StktoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("zevo-stktool-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& b) const {
    std::ofstream(Path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return std::string("'").append(Path(name)).append("'");
  }

  fs::path folder_;
};

// A hand-built generation 2 file with one entry of every kind and a background.
LayoutBytes Sheet(const std::string& author = "Wang Xizhi") {
  LayoutBytes b;
  b.Raw("Zvr2").U32(0).U32(4).U32(800).U32(600).Text(author).Text("secret");
  b.U32(0xFFFFFFFEu).U32(1).U32(0x00200010);
  b.U32(0).U32(255).U32(2).Sample(1.5f, 2, 3).Sample(0.1f, 1e-7f, 0);
  b.U32(3).U32(0x00FF00).F32(-2.5f).F32(1e20f);
  b.U32(2).U32(3).F32(1).F32(2).F32(13).F32(2).U32(16).U32(2).Raw("abcd");
  const auto picture = gfx::EncodeBmp(gfx::Bitmap24(5, 3));
  b.U32(1).U32(77).U32(std::uint32_t(-5)).U32(6).U32(std::uint32_t(picture.size())).Bytes(picture);
  const auto background = gfx::EncodeBmp(gfx::Bitmap24(4, 2));
  b.U32(5).U32(5).U32(2).U32(1).U32(std::uint32_t(background.size())).Bytes(background);
  b.PatchSize(4);
  return b;
}

const char* const kSheetEntries =
    R"("count":4,"position":4,"entries":[{"kind":"ink","color":255,"samples":[[1.5,2,3],)"
    R"([0.1,1e-07,0]]},{"kind":"fill","color":65280,"x":-2.5,"y":1e+20},{"kind":"stamp",)"
    R"("attr":3,"x":1,"y":2,"width":13,"height":2,"bitmap":[16,2]},{"kind":"picture",)"
    R"("attr":77,"x":-5,"y":6,"width":5,"height":3}],"background":{"a":2,"b":1,"width":4,)"
    R"("height":2}})";

TEST_F(StktoolTest, InfoPrintsTheFileAsRead) {
  const ToolRun r = Stktool("info " + Write("sheet.stk", Sheet().bytes));
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(r.out, std::string(R"({"result":0,"magic":"Zvr2","version":65538,"paper":[800,600],)"
                               R"("author":"Wang Xizhi","protection":4294967294,"step":1,)"
                               R"("grid":[2097168,0,0],)") +
                       kSheetEntries + "\n");
  EXPECT_EQ(r.out.find("secret"), std::string::npos);

  // Texts that are not UTF-8, quotes and control bytes still give valid JSON.
  const ToolRun odd =
      Stktool("info " + Write("odd.stk", Sheet("a\"b\\\x01\xE4\xB8\x80\xFF").bytes));
  EXPECT_NE(odd.out.find(R"("author":"a\"b\\\u0001)"
                         "\xE4\xB8\x80"
                         R"(\u00ff")"),
            std::string::npos)
      << odd.out;
}

TEST_F(StktoolTest, InfoExitsWithTheReadResult) {
  LayoutBytes damaged = Sheet();
  damaged.PatchSize(4, 1);
  const ToolRun r = Stktool("info " + Write("bad.stk", damaged.bytes));
  EXPECT_EQ(r.exit, 2);
  EXPECT_NE(r.out.find(R"({"result":2,"magic":"Zvr2")"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(R"("count":0,"position":0,"entries":[],"background":null})"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(Stktool("info " + Write("short.stk", std::vector<std::uint8_t>(19, 1))).exit, 3);
  // Nothing was read: a message, no object.
  const ToolRun missing = Stktool("info '" + Path("missing.stk") + "'");
  EXPECT_EQ(missing.exit, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "stktool info: " + Path("missing.stk") +
                             ": cannot open it: no such file or directory\n");
  const ToolRun folder = Stktool("info '" + folder_.string() + "'");
  EXPECT_EQ(folder.exit, 1);
  EXPECT_EQ(folder.out, "");
  EXPECT_NE(folder.err.find("it is a folder"), std::string::npos) << folder.err;
  std::vector<std::uint8_t> encoded_garbage(40, 0);
  std::memcpy(encoded_garbage.data(), "zvRD", 4);
  EXPECT_EQ(Stktool("info " + Write("garbage.stk", encoded_garbage)).exit, 4);
}

TEST_F(StktoolTest, ConvertWritesEncodedAndPlainFiles) {
  const std::string in = Write("in.stk", Sheet().bytes);
  const std::string out = "'" + Path("out.stk") + "'";
  ASSERT_EQ(Stktool("convert " + in + " " + out).exit, 0);
  std::ifstream f(Path("out.stk"), std::ios::binary);
  const std::string encoded((std::istreambuf_iterator<char>(f)), {});
  EXPECT_EQ(encoded.substr(0, 4), "zvRD");
  const ToolRun back = Stktool("info " + out);
  EXPECT_EQ(back.exit, 0);
  EXPECT_EQ(back.out, std::string(R"({"result":0,"magic":"Zvr3","version":65539,)"
                                  R"("paper":[800,600],"author":"Wang Xizhi",)"
                                  R"("protection":4294967294,"step":1,"grid":[2097168,0,0],)") +
                          kSheetEntries + "\n");

  const std::string plain = "'" + Path("plain.stk") + "'";
  ASSERT_EQ(Stktool("convert " + out + " " + plain + " --plain --step 2 --keep-password").exit, 0);
  std::ifstream p(Path("plain.stk"), std::ios::binary);
  const std::string layout((std::istreambuf_iterator<char>(p)), {});
  ASSERT_GT(layout.size(), 556u);
  EXPECT_EQ(layout.substr(0, 4), "Zvr3");
  EXPECT_EQ(layout[540], 2);
  EXPECT_NE(Stktool("info " + plain).out.find(R"("step":2)"), std::string::npos);

  EXPECT_EQ(Stktool("convert '" + Path("missing.stk") + "' " + out).exit, 1);
}

TEST_F(StktoolTest, WrongArgumentsSayWhatIsWrongAndExitWith64) {
  const std::string in = Write("in.stk", Sheet().bytes);
  const std::string out = " '" + Path("out.stk") + "'";
  const std::string picture = " -o '" + Path("x.bmp") + "'";
  const std::pair<std::string, std::string> cases[] = {
      {"convert " + in + out + " --step 5", "--step must be from 1 to 4"},
      {"convert " + in + out + " --step 0", "--step must be from 1 to 4"},
      {"convert " + in + out + " --step x", "--step must be a whole number, not \"x\""},
      {"convert " + in + out + " --step", "--step needs a number from 1 to 4"},
      {"convert " + in, "no output file given"},
      {"convert " + in + out + " --keep-password", "--keep-password goes with --plain"},
      {"convert " + in + out + " --frobnicate", "unknown option --frobnicate"},
      {"info", "no stroke file given"},
      {"info a b", "give one stroke file"},
      {"render " + in + picture + " --size 0x718", "--size must be positive"},
      {"render " + in + picture + " --size 1024x", "--size must be a whole number, not \"\""},
      {"render " + in + picture + " --position -3", "--position must be 0 or more"},
      {"render " + in + picture + " --position 5", "--position must be at most 4"},
      {"render " + in + picture + " --lighten 3", "--lighten must be from 0 to 2"},
      {"print " + in + picture + " --page 0x100", "--page must be positive"},
      {"print " + in + picture + " --page -1x-1", "--page must be positive"},
      {"print " + in + picture + " --page 10x10 --scale 20", "--scale must be from 25 to 400"},
      {"print " + in + picture + " --page 10x10 --scale big", "--scale must be a whole number"},
  };
  for (const auto& [arguments, message] : cases) {
    const ToolRun r = Stktool(arguments);
    EXPECT_EQ(r.exit, 64) << arguments;
    EXPECT_EQ(r.out, "") << arguments;
    EXPECT_NE(r.err.find(message), std::string::npos) << arguments << "\n" << r.err;
  }
  EXPECT_FALSE(fs::exists(Path("out.stk")));
  EXPECT_FALSE(fs::exists(Path("x.bmp")));
}

TEST_F(StktoolTest, AnOutputNameTheCommandDoesNotWriteIsRefused) {
  const std::string in = Write("in.stk", Sheet().bytes);
  for (const char* name : {"x.gif", "x.jpg.txt", "x", "x.jpe", "x.png.bmp.txt"}) {
    const ToolRun r = Stktool("render " + in + " -o '" + Path(name) + "'");
    EXPECT_EQ(r.exit, 64) << name;
    EXPECT_NE(
        r.err.find(
            "it writes .jpg, .jpeg (JPEG), .bmp (BMP), .png (PNG), .pdf (PDF) or .svg (SVG) files"),
        std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(Path(name)));
  }
  const ToolRun print = Stktool("print " + in + " -o '" + Path("x.jpg") + "' --page 7016x4961");
  EXPECT_EQ(print.exit, 64);
  EXPECT_NE(print.err.find("it writes .bmp files only"), std::string::npos) << print.err;
  EXPECT_FALSE(fs::exists(Path("x.jpg")));

  // The names it writes, in any case: JPEG for .jpg and .jpeg, BMP for .bmp.
  for (const char* name : {"a.JPEG", "b.jpg", "c.Jpg"}) {
    ASSERT_EQ(Stktool("render " + in + " -o '" + Path(name) + "'").exit, 0) << name;
    EXPECT_EQ(Slurp(Path(name)).substr(0, 2), "\xFF\xD8") << name;
  }
  ASSERT_EQ(Stktool("render " + in + " -o '" + Path("d.BMP") + "'").exit, 0);
  EXPECT_EQ(Slurp(Path("d.BMP")).substr(0, 2), "BM");
  ASSERT_EQ(Stktool("render " + in + " -o '" + Path("e.Png") + "'").exit, 0);
  EXPECT_EQ(Slurp(Path("e.Png")).substr(0, 8), "\x89PNG\r\n\x1A\n");
}

TEST_F(StktoolTest, AFailedWriteSaysWhy) {
  const std::string in = Write("in.stk", Sheet().bytes);
  // Under a regular file (which stops root too), and in a folder that does not exist.
  const std::pair<std::string, std::string> targets[] = {
      {Path("in.stk") + "/out", "a part of the path is not a folder"},
      {Path("none") + "/out", "the folder " + Path("none") + "/ does not exist"},
  };
  for (const auto& [base, reason] : targets) {
    const std::string runs[] = {
        "convert " + in + " '" + base + ".stk'",
        "convert " + in + " '" + base + ".stk' --plain",
        "render " + in + " -o '" + base + ".jpg'",
        "render " + in + " -o '" + base + ".bmp'",
        "print " + in + " -o '" + base + ".bmp' --page 7016x4961",
    };
    for (const std::string& arguments : runs) {
      const ToolRun r = Stktool(arguments);
      EXPECT_EQ(r.exit, 1) << arguments;
      EXPECT_NE(r.err.find(reason), std::string::npos) << arguments << "\n" << r.err;
      EXPECT_EQ(r.err.find("result"), std::string::npos) << r.err;
    }
  }
}

TEST_F(StktoolTest, APlainLayoutHasItsPasswordBlankedUnlessAskedToKeepIt) {
  const std::string in = Write("in.stk", Sheet().bytes);
  const std::string encoded = "'" + Path("encoded.stk") + "'";
  ASSERT_EQ(Stktool("convert " + in + " " + encoded).exit, 0);
  EXPECT_EQ(Slurp(Path("encoded.stk")).find("secret"), std::string::npos);

  // The Zvr3 header holds the password in bytes 280 to 535.
  const ToolRun blanked = Stktool("convert " + encoded + " '" + Path("blank.stk") + "' --plain");
  EXPECT_EQ(blanked.exit, 0);
  EXPECT_NE(blanked.out.find("the password was blanked in " + Path("blank.stk")), std::string::npos)
      << blanked.out;
  const std::string layout = Slurp(Path("blank.stk"));
  ASSERT_GT(layout.size(), 556u);
  EXPECT_EQ(layout.substr(280, 256), std::string(256, '\0'));
  EXPECT_NE(Stktool("info '" + Path("blank.stk") + "'").out.find(R"("author":"Wang Xizhi")"),
            std::string::npos);

  // Kept on request, with a warning; the encoded file had kept it all along, sealed.
  const ToolRun kept =
      Stktool("convert " + encoded + " '" + Path("kept.stk") + "' --plain --keep-password", true);
  EXPECT_EQ(kept.exit, 0);
  EXPECT_NE(kept.out.find("warning: " + Path("kept.stk") + " holds the password in clear"),
            std::string::npos)
      << kept.out;
  EXPECT_EQ(Slurp(Path("kept.stk")).substr(280, 7), std::string("secret\0", 7));

  // Only a plain layout can keep it in clear.
  EXPECT_EQ(Stktool("convert " + in + " " + encoded + " --keep-password").exit, 64);
}

TEST_F(StktoolTest, AFileTooLargeForZevo3ExitsWithSeven) {
  const std::string data = std::string(ZEVO_TEST_DATA_DIR);
  const std::string huge = "'" + data + "/stk/r7_four_huge_rle_pictures.stk'";
  const std::string out = " -o '" + Path("out.bmp") + "'";
  const ToolRun info = Stktool("info " + huge, true);
  EXPECT_EQ(info.exit, 7);
  EXPECT_NE(info.out.find(R"({"result":7,"magic":"Zvr3")"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("too large for Zevo 3 (it would need more than 512 MiB of memory)"),
            std::string::npos)
      << info.out;
  const ToolRun convert = Stktool("convert " + huge + " '" + Path("x.stk") + "'", true);
  EXPECT_EQ(convert.exit, 7);
  EXPECT_NE(convert.out.find("too large for Zevo 3"), std::string::npos) << convert.out;
  EXPECT_EQ(Stktool("render " + huge + out).exit, 7);
  EXPECT_EQ(Stktool("render " + huge + out + " --trace " + huge).exit, 7);
  EXPECT_EQ(Stktool("print " + huge + out + " --page 800x600").exit, 7);
  const std::string sheet = Write("sheet.stk", Sheet().bytes);
  for (const char* picture : {"/bmp/bad_too_large_rle.bmp", "/jpeg/bad_too_large_padded.jpg"}) {
    const ToolRun render =
        Stktool("render " + sheet + out + " --background '" + data + picture + "'", true);
    EXPECT_EQ(render.exit, 7) << picture;
    EXPECT_NE(render.out.find("too large for Zevo 3"), std::string::npos) << render.out;
  }
  EXPECT_FALSE(fs::exists(Path("x.stk")));
  EXPECT_FALSE(fs::exists(Path("out.bmp")));
  // Damage is not size: it keeps its own codes.
  EXPECT_EQ(Stktool("convert '" + data + "/stk/r2_nan_sample.stk' '" + Path("x.stk") + "'").exit,
            1);
}

TEST_F(StktoolTest, ExportThenImportGivesBackTheSameSheetWithoutThePassword) {
  for (const std::string& author :
       std::vector<std::string>{"Wang Xizhi", "王羲之 ✍", "cp950 \xA4\xFD\xFF"}) {
    SCOPED_TRACE(author);
    const std::string in = Write("in.stk", Sheet(author).bytes);
    const ToolRun original = Stktool("info " + in);
    ASSERT_EQ(original.exit, 0);

    ASSERT_EQ(Stktool("export " + in + " -o '" + Path("sheet.json") + "'").exit, 0);
    const std::string json = Slurp(Path("sheet.json"));
    EXPECT_EQ(json.find("secret"), std::string::npos);
    EXPECT_EQ(json.find("password"), std::string::npos);
    EXPECT_NE(json.find(R"("format": "zevo3-strokes")"), std::string::npos) << json;
    // - writes the same text to the standard output.
    EXPECT_EQ(Stktool("export " + in + " -o -").out, json);

    for (const char* plain : {"", " --plain"}) {
      const ToolRun import =
          Stktool("import '" + Path("sheet.json") + "' -o '" + Path("back.stk") + "'" + plain);
      ASSERT_EQ(import.exit, 0) << import.err;
      EXPECT_EQ(Slurp(Path("back.stk")).substr(0, 4) == "Zvr3", *plain != '\0');
      const ToolRun back = Stktool("info '" + Path("back.stk") + "'");
      ASSERT_EQ(back.exit, 0);
      // The same sheet, now a generation 3 file with step 1 and no password.
      const std::size_t from = original.out.find("\"paper\"");
      EXPECT_EQ(back.out.substr(back.out.find("\"paper\"")), original.out.substr(from));
      EXPECT_EQ(Slurp(Path("back.stk")).find("secret"), std::string::npos);
    }
  }
}

TEST_F(StktoolTest, ImportRefusesBadInputNamingWhereItIs) {
  auto json = [&](const std::string& name, const std::string& text) {
    std::ofstream(Path(name), std::ios::binary) << text;
    return std::string("'").append(Path(name)).append("'");
  };
  const std::string head =
      R"({"format":"zevo3-strokes","version":1,"paper":{"width":1024,"height":718},)";
  const ToolRun bad = Stktool(
      "import " +
      json("bad.json", head + R"("entries":[{"kind":"fill","color":1,"x":1,"y":2},)" +
                           R"({"kind":"ink","color":0,"samples":[{"x":1,"y":2,"radius":"3"}]}]})") +
      " -o '" + Path("out.stk") + "'");
  EXPECT_EQ(bad.exit, 1);
  EXPECT_NE(bad.err.find("entries[1].samples[0].radius: must be a number"), std::string::npos)
      << bad.err;
  EXPECT_FALSE(fs::exists(Path("out.stk")));

  // A picture larger than Zevo 3 takes: 7, before its memory is taken.
  const ToolRun large =
      Stktool("import " +
              json("large.json", head + R"("entries":[{"kind":"picture","attr":0,"x":0,"y":0,)" +
                                     R"("image":{"width":32768,"height":32768,"rgb":""}}]})") +
              " -o '" + Path("out.stk") + "'");
  EXPECT_EQ(large.exit, 7);
  EXPECT_NE(large.err.find("entries[0].image: a 32768 x 32768 picture is too large for Zevo 3"),
            std::string::npos)
      << large.err;

  const ToolRun missing = Stktool("import '" + Path("none.json") + "' -o '" + Path("o.stk") + "'");
  EXPECT_EQ(missing.exit, 1);
  EXPECT_NE(missing.err.find("no such file or directory"), std::string::npos) << missing.err;
  const ToolRun folder = Stktool("import '" + folder_.string() + "' -o '" + Path("o.stk") + "'");
  EXPECT_EQ(folder.exit, 1);
  EXPECT_NE(folder.err.find("it is a folder"), std::string::npos) << folder.err;

  const std::string in = Write("in.stk", Sheet().bytes);
  for (const std::string& args : std::vector<std::string>{
           "export " + in + " -o '" + Path("x.txt") + "'", "export " + in, "import " + in,
           "import a.json -o b.stk --step 2", "export " + in + " -o a.json -o b.json"}) {
    const ToolRun r = Stktool(args);
    EXPECT_EQ(r.exit, 64) << args;
    EXPECT_NE(r.err.find("--help shows the usage"), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(Path("x.txt")));
  const ToolRun unreadable =
      Stktool("export '" + Path("none.stk") + "' -o '" + Path("x.json") + "'");
  EXPECT_EQ(unreadable.exit, 1);
  EXPECT_NE(unreadable.err.find("cannot open it"), std::string::npos) << unreadable.err;
}

// What a file manager runs for a stroke file: the sheet picture as a PNG of the asked size.
TEST_F(StktoolTest, ThumbnailIsTheSheetPictureWithinTheAskedSize) {
  const std::string in = std::string("'") + ZEVO_SOURCE_DIR + "/dist/screenshots/shanshui.stk'";
  const std::string bmp = Path("sheet.bmp");
  ASSERT_EQ(Stktool("render " + in + " -o '" + bmp + "' --size 256x179").exit, 0);
  const std::string png = Path("thumb.png");
  const ToolRun r = Stktool("thumbnail " + in + " '" + png + "' 256");
  ASSERT_EQ(r.exit, 0) << r.err;
  const std::string bytes = Slurp(png);
  const auto thumb = test::DecodePngForTest(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  ASSERT_TRUE(thumb);
  EXPECT_EQ(thumb->width, 256);
  EXPECT_EQ(thumb->height, 179);
  auto sheet = gfx::LoadBmpFile(bmp);
  ASSERT_TRUE(sheet);
  int differing = 0, ink = 0;
  for (int y = 0; y < thumb->height; ++y)
    for (int x = 0; x < thumb->width; ++x) {
      const gfx::Color c = gfx::Rgb(thumb->At(x, y, 0), thumb->At(x, y, 1), thumb->At(x, y, 2));
      differing += c != sheet.Value().Pixel(x, y);
      ink += c != sheet.Value().Pixel(0, 0);
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(ink, 500);  // the writing shows

  // Whatever the output is called, it is a PNG; a tiny size still has a pixel of each side.
  ASSERT_EQ(Stktool("thumbnail " + in + " '" + Path("t.jpg") + "' 1").exit, 0);
  EXPECT_EQ(Slurp(Path("t.jpg")).substr(1, 3), "PNG");
  // Bad sizes and arguments are refused as usage; a file that cannot be read with 1.
  for (const std::string& a :
       {"thumbnail " + in + " '" + png + "' 0", "thumbnail " + in + " '" + png + "' 4097",
        "thumbnail " + in + " '" + png + "' big", "thumbnail " + in})
    EXPECT_EQ(Stktool(a).exit, 64) << a;
  EXPECT_EQ(Stktool("thumbnail '" + Path("missing.stk") + "' '" + png + "' 64").exit, 1);
  EXPECT_EQ(
      Stktool("thumbnail " + Write("bad.stk", {'z', 'v', 'R', 'D', 1, 2}) + " '" + png + "' 64")
          .exit,
      1);
  EXPECT_EQ(Stktool("--version").out, "stktool " ZEVO_VERSION "\n");
}

TEST_F(StktoolTest, HelpAndUsage) {
  const ToolRun help = Stktool("--help");
  EXPECT_EQ(help.exit, 0);
  EXPECT_EQ(help.err, "");
  for (const char* command : {"info FILE", "convert IN OUT [--plain [--keep-password]] [--step N]",
                              "render FILE -o OUT", "print FILE -o OUT --page PWxPH",
                              "export FILE -o OUT.json", "import IN.json -o OUT [--plain]"}) {
    EXPECT_NE(help.out.find(std::string("  ") + command), std::string::npos) << command;
  }
  EXPECT_NE(help.out.find("7    a stroke file or picture is too large for Zevo 3"),
            std::string::npos)
      << help.out;
  EXPECT_NE(help.out.find("64   wrong arguments"), std::string::npos);
  EXPECT_EQ(Stktool("-h").out, help.out);
  EXPECT_EQ(Stktool("help").out, help.out);

  // With no command or an unknown one the list goes to the error output.
  const ToolRun none = Stktool("");
  EXPECT_EQ(none.exit, 64);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err, help.out);
  const ToolRun unknown = Stktool("frobnicate x");
  EXPECT_EQ(unknown.exit, 64);
  EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);

  // Each command's own usage, with its options, after other arguments too.
  const std::pair<std::string, std::vector<std::string>> commands[] = {
      {"info", {"usage: stktool info FILE"}},
      {"convert", {"usage: stktool convert IN OUT", "--plain", "--keep-password", "--step N"}},
      {"render",
       {"usage: stktool render FILE -o OUT", "--size WxH", "--position N", "--background IMG",
        "--texture", "--fit 0-3", "--lighten 0-2", "--grid CW,CH,LEFT,TOP,COLS,ROWS",
        "--trace MODEL", "--dpi N", "--transparent"}},
      {"export", {"usage: stktool export FILE -o OUT.json", "docs/stroke-json.md"}},
      {"import", {"usage: stktool import IN.json -o OUT [--plain]", "--plain"}},
      {"print", {"usage: stktool print FILE -o OUT --page PWxPH", "--scale N"}},
  };
  for (const auto& [command, lines] : commands) {
    for (const std::string& arguments : {command + " --help", command + " -h", "help " + command}) {
      const ToolRun r = Stktool(arguments);
      EXPECT_EQ(r.exit, 0) << arguments;
      EXPECT_EQ(r.err, "") << arguments;
      for (const std::string& line : lines)
        EXPECT_NE(r.out.find(line), std::string::npos) << arguments << ": " << line;
    }
  }
  EXPECT_EQ(Stktool("render a.stk -o b.bmp --help").exit, 0);
  EXPECT_EQ(Stktool("convert a.stk b.stk -h").exit, 0);
  EXPECT_EQ(Stktool("help frobnicate").exit, 64);
}

}  // namespace
}  // namespace zevo::files
