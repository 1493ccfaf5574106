#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "gfx/bmp_file.h"
#include "tests/files/layout_bytes.h"

namespace zevo::files {
namespace {

namespace fs = std::filesystem;
using testing::LayoutBytes;

struct ToolRun {
  int exit = -1;
  std::string out;
};

// What stktool writes to its standard output, and with_errors its error output too.
ToolRun Stktool(const std::string& arguments, bool with_errors = false) {
  const std::string command = std::string("'") + ZEVO_PROGRAM_DIR + "/stktool' " + arguments +
                              (with_errors ? " 2>&1" : " 2>/dev/null");
  ToolRun r;
  FILE* p = ::popen(command.c_str(), "r");
  if (p == nullptr) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.out.append(buffer, n);
  const int status = ::pclose(p);
  r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
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
  EXPECT_EQ(Stktool("info '" + Path("missing.stk") + "'").exit, 1);
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
  EXPECT_EQ(Stktool("convert " + in + " " + out + " --step 5").exit, 1);
  EXPECT_EQ(Stktool("convert " + in + " " + out + " --step x").exit, 1);
  EXPECT_EQ(Stktool("convert " + in).exit, 1);
  EXPECT_EQ(Stktool("convert " + in + " '" + Path("no/folder.stk") + "'").exit, 1);
}

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), {});
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
  EXPECT_EQ(Stktool("convert " + in + " " + encoded + " --keep-password").exit, 1);
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

TEST_F(StktoolTest, HelpAndUsage) {
  const ToolRun help = Stktool("--help");
  EXPECT_EQ(help.exit, 0);
  EXPECT_NE(help.out.find("info FILE"), std::string::npos);
  EXPECT_NE(help.out.find("convert IN OUT [--plain [--keep-password]] [--step N]"),
            std::string::npos);
  EXPECT_NE(help.out.find("7    a stroke file or picture is too large for Zevo 3"),
            std::string::npos)
      << help.out;
  EXPECT_NE(help.out.find("64   no command or an unknown one"), std::string::npos);
  EXPECT_EQ(Stktool("").exit, 64);
  EXPECT_EQ(Stktool("frobnicate x").exit, 64);
  EXPECT_EQ(Stktool("info").exit, 64);
  EXPECT_EQ(Stktool("info --help").exit, 0);
}

}  // namespace
}  // namespace zevo::files
