#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gfx/bmp_file.h"
#include "platform/file_system.h"
#include "tests/gfx/sample_pictures.h"

namespace zevo::gfx {
namespace {

using testing::AsymmetricColor;
using testing::AsymmetricPicture;
using testing::PixelsNear;

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
std::uint16_t U16At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::uint16_t(b[at] | (b[at + 1] << 8));
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zevo-gfx-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::size_t EntryCount() const {
    return std::distance(std::filesystem::directory_iterator(path_),
                         std::filesystem::directory_iterator());
  }

 private:
  std::filesystem::path path_;
};

TEST(BmpWrite, WritesA24BitBottomUpFileWithPaddedRows) {
  const Bitmap24 picture = AsymmetricPicture();
  const std::vector<std::uint8_t> file = EncodeBmp(picture);
  const std::size_t row = 24;  // 7 pixels * 3 bytes padded to 4
  ASSERT_EQ(file.size(), 54 + row * 5);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(U32At(file, 2), file.size());
  EXPECT_EQ(U32At(file, 10), 54u);
  EXPECT_EQ(U32At(file, 14), 40u);
  EXPECT_EQ(U32At(file, 18), 7u);
  EXPECT_EQ(U32At(file, 22), 5u);  // positive: bottom-up
  EXPECT_EQ(U16At(file, 26), 1);
  EXPECT_EQ(U16At(file, 28), 24);
  EXPECT_EQ(U32At(file, 30), 0u);
  EXPECT_EQ(U32At(file, 34), row * 5);
  EXPECT_EQ(U32At(file, 38), 2835u);
  EXPECT_EQ(U32At(file, 42), 2835u);
  EXPECT_EQ(U32At(file, 46), 0u);
  // The first stored row is the bottom one, blue first; padding is zero.
  const Color bottom_left = AsymmetricColor(0, 4);
  EXPECT_EQ(file[54], BlueOf(bottom_left));
  EXPECT_EQ(file[55], GreenOf(bottom_left));
  EXPECT_EQ(file[56], RedOf(bottom_left));
  EXPECT_EQ(file[54 + 21], 0);
  EXPECT_EQ(file[54 + 23], 0);
  const Color top_right = AsymmetricColor(6, 0);
  EXPECT_EQ(file[54 + 4 * row + 18], BlueOf(top_right));
  EXPECT_EQ(file[54 + 4 * row + 20], RedOf(top_right));
}

TEST(BmpWrite, RoundTripsThroughTheReader) {
  for (auto [w, h] : {std::pair{7, 5}, {1, 1}, {4, 3}, {5, 9}, {130, 2}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    const Bitmap24 picture = AsymmetricPicture(w, h);
    Result<Bitmap24> back = DecodeBmp(EncodeBmp(picture));
    ASSERT_TRUE(back) << back.ErrorText();
    EXPECT_TRUE(back.Value().SamePixels(picture));
  }
}

TEST(BmpWrite, SinkSeesTheSameBytesAsEncode) {
  const Bitmap24 picture = AsymmetricPicture(300, 250);  // more than one block of rows
  std::vector<std::uint8_t> streamed;
  int calls = 0;
  WriteBmp(picture, [&](const std::uint8_t* data, std::size_t n) {
    ++calls;
    streamed.insert(streamed.end(), data, data + n);
  });
  EXPECT_EQ(streamed, EncodeBmp(picture));
  EXPECT_GT(calls, 2);
}

TEST(BmpFile, SavesLoadsAndReplacesAFile) {
  TempFolder folder;
  const std::string path = (folder / "Stamp01.BMP").string();
  std::string error;
  ASSERT_TRUE(SaveBmpFile(AsymmetricPicture(), path, &error)) << error;
  Result<Bitmap24> loaded = LoadBmpFile(path);
  ASSERT_TRUE(loaded) << loaded.ErrorText();
  EXPECT_TRUE(loaded.Value().SamePixels(AsymmetricPicture()));

  ASSERT_TRUE(SaveBmpFile(AsymmetricPicture(3, 2), path, &error)) << error;
  EXPECT_EQ(LoadBmpFile(path).Value().Width(), 3);
  EXPECT_EQ(folder.EntryCount(), 1u);  // no temporary file left behind
}

TEST(BmpFile, FailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
  TempFolder folder;
  const std::string path = (folder / "keep.bmp").string();
  ASSERT_TRUE(SaveBmpFile(AsymmetricPicture(), path, nullptr));
  const std::vector<std::uint8_t> before = ReadAll(path);

  // A writer that gives up half way.
  const Result<bool> abandoned = platform::DefaultFileSystem().ReplaceFileAtomically(
      path, [](const ByteSink& sink, std::string& e) {
        const std::uint8_t junk[3] = {1, 2, 3};
        sink(junk, 3);
        e = "gave up";
        return false;
      });
  EXPECT_FALSE(abandoned);
  std::string error = abandoned.ErrorText();
  EXPECT_EQ(error, "gave up");
  EXPECT_EQ(ReadAll(path), before);
  EXPECT_EQ(folder.EntryCount(), 1u);

  // A folder in the way of the target cannot be replaced by a file.
  std::filesystem::create_directory(folder / "dir.bmp");
  EXPECT_FALSE(SaveBmpFile(AsymmetricPicture(), (folder / "dir.bmp").string(), &error));
  EXPECT_NE(error.find("dir.bmp"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::is_directory(folder / "dir.bmp"));
  EXPECT_EQ(folder.EntryCount(), 2u);

  EXPECT_FALSE(SaveBmpFile(AsymmetricPicture(), (folder / "missing" / "a.bmp").string(), &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

TEST(BmpFile, UnreadableFilesGiveAnErrorNamingThem) {
  TempFolder folder;
  Result<Bitmap24> missing = LoadBmpFile((folder / "none.bmp").string());
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.ErrorText().find("none.bmp"), std::string::npos);
  Result<Bitmap24> folder_itself = LoadBmpFile((folder / "").string());
  EXPECT_FALSE(folder_itself);
  std::ofstream(folder / "empty.bmp").close();
  Result<Bitmap24> empty = LoadBmpFile((folder / "empty.bmp").string());
  ASSERT_FALSE(empty);
  EXPECT_NE(empty.ErrorText().find("empty.bmp"), std::string::npos);
}

// Files written by another program (ImageMagick, see tests/data/bmp/make_fixtures.py).
Color Pal16Color(int x, int y) {
  const int k = (x + 3 * y) % 16;
  return Rgb(std::uint8_t(16 * k + 3), std::uint8_t(255 - 16 * k),
             std::uint8_t((7 * k) % 16 * 16 + 8));
}
Color Pal2Color(int x, int y) {
  return (x * x + 2 * y) % 3 == 0 ? Rgb(200, 30, 60) : Rgb(20, 90, 240);
}

TEST(BmpFile, LoadsFixturesOfOtherWriters) {
  struct Case {
    const char* name;
    int width, height;
    Color (*expected)(int, int);
    int tolerance;
  };
  const Case cases[] = {
      {"ok_full_24.bmp", 7, 5, AsymmetricColor, 0},
      {"ok_full_24_v5.bmp", 7, 5, AsymmetricColor, 0},
      {"ok_full_24_core.bmp", 7, 5, AsymmetricColor, 0},
      {"ok_full_8.bmp", 7, 5, AsymmetricColor, 0},
      {"ok_full_rle8.bmp", 7, 5, AsymmetricColor, 0},
      {"ok_full_565.bmp", 7, 5, AsymmetricColor, 8},  // the writer truncates to 5 and 6 bits
      {"ok_full_32_alpha.bmp", 7, 5, AsymmetricColor, 0},
      {"ok_pal16_4.bmp", 7, 5, Pal16Color, 0},
      {"ok_pal16_4_core.bmp", 7, 5, Pal16Color, 0},
      {"ok_pal2_1.bmp", 13, 5, Pal2Color, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Result<Bitmap24> b = LoadBmpFile(std::string(ZEVO_TEST_DATA_DIR "/bmp/") + c.name);
    ASSERT_TRUE(b) << b.ErrorText();
    EXPECT_TRUE(PixelsNear(b.Value(), c.width, c.height, c.expected, c.tolerance));
  }
}

TEST(BmpFile, RefusesDamagedFixtures) {
  for (const char* name :
       {"bad_truncated_pixels.bmp", "bad_huge_width.bmp", "bad_offset_past_end.bmp",
        "bad_header_size.bmp", "bad_inside_header.bmp", "bad_signature.bmp"}) {
    SCOPED_TRACE(name);
    Result<Bitmap24> b = LoadBmpFile(std::string(ZEVO_TEST_DATA_DIR "/bmp/") + name);
    ASSERT_FALSE(b);
    EXPECT_NE(b.ErrorText().find(name), std::string::npos) << b.ErrorText();
    EXPECT_FALSE(IsTooLarge(b.ErrorText())) << b.ErrorText();
  }
  // 512 KB of RLE that would decode to 3 GiB is refused from its header.
  Result<Bitmap24> huge = LoadBmpFile(ZEVO_TEST_DATA_DIR "/bmp/bad_too_large_rle.bmp");
  ASSERT_FALSE(huge);
  EXPECT_TRUE(IsTooLarge(huge.ErrorText())) << huge.ErrorText();
  EXPECT_NE(huge.ErrorText().find("bad_too_large_rle.bmp"), std::string::npos);
}

}  // namespace
}  // namespace zevo::gfx
