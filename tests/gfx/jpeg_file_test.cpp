#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <map>

#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "tests/gfx/sample_pictures.h"

namespace zevo::gfx {
namespace {

using testing::AsymmetricPicture;
using testing::PixelsNear;

using Bytes = std::vector<std::uint8_t>;

// The gradient of tests/data/jpeg/make_fixtures.py: smooth, so that JPEG keeps it closely,
// and with red and blue running in opposite directions.
Color SmoothColor(int x, int y) {
  return Rgb(std::uint8_t(6 * x), std::uint8_t(10 * y), std::uint8_t(255 - 3 * x - 4 * y));
}
Bitmap24 SmoothPicture() {
  Bitmap24 b(37, 23);
  for (int y = 0; y < 23; ++y) {
    for (int x = 0; x < 37; ++x) b.SetPixel(x, y, SmoothColor(x, y));
  }
  return b;
}
// ImageMagick makes grey with the Rec. 709 weights.
Color SmoothGrey(int x, int y) {
  const Color c = SmoothColor(x, y);
  const auto v =
      std::uint8_t(std::lround(0.2126 * RedOf(c) + 0.7152 * GreenOf(c) + 0.0722 * BlueOf(c)));
  return Rgb(v, v, v);
}

struct Segment {
  std::uint8_t marker;
  Bytes body;
};

// The marker segments up to the start of the first scan.
std::vector<Segment> HeaderSegments(const Bytes& jpeg) {
  std::vector<Segment> out;
  if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return out;
  std::size_t i = 2;
  while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF) {
    const std::uint8_t marker = jpeg[i + 1];
    const std::size_t length = (jpeg[i + 2] << 8) | jpeg[i + 3];
    if (length < 2 || i + 2 + length > jpeg.size()) break;
    out.push_back({marker, Bytes(jpeg.begin() + i + 4, jpeg.begin() + i + 2 + length)});
    if (marker == 0xDA) break;
    i += 2 + length;
  }
  return out;
}

constexpr std::array<int, 64> kStandardLuminance = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<int, 64> kStandardChrominance = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
constexpr std::array<int, 64> kZigZag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// A standard table scaled to a quality as the IJG encoder does, in stored (zigzag) order.
Bytes ScaledTable(const std::array<int, 64>& table, int quality) {
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  Bytes out;
  for (int k = 0; k < 64; ++k) {
    out.push_back(std::uint8_t(std::clamp((table[kZigZag[k]] * scale + 50) / 100, 1, 255)));
  }
  return out;
}

TEST(JpegWrite, WritesABaselineColourJfifAtQuality90) {
  const Bytes jpeg = EncodeJpeg(SmoothPicture());
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
  EXPECT_EQ(jpeg[jpeg.size() - 1], 0xD9);
  std::map<int, Bytes> tables;
  bool jfif = false, sof0 = false;
  for (const Segment& s : HeaderSegments(jpeg)) {
    EXPECT_FALSE(s.marker >= 0xC1 && s.marker <= 0xCF && s.marker != 0xC4 && s.marker != 0xC8 &&
                 s.marker != 0xCC)
        << "not baseline: marker " << int(s.marker);
    if (s.marker == 0xE0)
      jfif = s.body.size() >= 5 && std::equal(s.body.begin(), s.body.begin() + 5, "JFIF");
    if (s.marker == 0xDB) {
      for (std::size_t i = 0; i + 65 <= s.body.size(); i += 65) {
        EXPECT_EQ(s.body[i] >> 4, 0) << "8-bit table";
        tables[s.body[i] & 15] = Bytes(s.body.begin() + i + 1, s.body.begin() + i + 65);
      }
    }
    if (s.marker == 0xC0) {
      sof0 = true;
      ASSERT_EQ(s.body.size(), 6u + 3 * 3);
      EXPECT_EQ(s.body[0], 8);
      EXPECT_EQ((s.body[1] << 8) | s.body[2], 23);
      EXPECT_EQ((s.body[3] << 8) | s.body[4], 37);
      EXPECT_EQ(s.body[5], 3);
      EXPECT_EQ(s.body[7], 0x22);  // the library's default 4:2:0
      EXPECT_EQ(s.body[10], 0x11);
      EXPECT_EQ(s.body[13], 0x11);
    }
  }
  EXPECT_TRUE(jfif);
  EXPECT_TRUE(sof0);
  EXPECT_EQ(tables[0], ScaledTable(kStandardLuminance, 90));
  EXPECT_EQ(tables[1], ScaledTable(kStandardChrominance, 90));
  EXPECT_EQ(tables[0][0], 3);

  // Another quality gives other tables; out-of-range qualities are clamped.
  std::map<int, Bytes> q50;
  for (const Segment& s : HeaderSegments(EncodeJpeg(SmoothPicture(), 50))) {
    if (s.marker == 0xDB) q50[s.body[0] & 15] = Bytes(s.body.begin() + 1, s.body.begin() + 65);
  }
  EXPECT_EQ(q50[0], ScaledTable(kStandardLuminance, 50));
  EXPECT_EQ(EncodeJpeg(SmoothPicture(), 400), EncodeJpeg(SmoothPicture(), 100));
  EXPECT_EQ(EncodeJpeg(SmoothPicture(), -3), EncodeJpeg(SmoothPicture(), 1));
}

TEST(JpegWrite, RoundTripsWithinTheLossOfTheFormat) {
  const Bytes jpeg = EncodeJpeg(SmoothPicture());
  Result<Bitmap24> back = DecodeJpeg(jpeg);
  ASSERT_TRUE(back) << back.ErrorText();
  EXPECT_TRUE(PixelsNear(back.Value(), 37, 23, SmoothColor, 12));

  // The sink gets the same bytes, in blocks.
  Bytes streamed;
  WriteJpeg(SmoothPicture(), 90, [&](const std::uint8_t* d, std::size_t n) {
    streamed.insert(streamed.end(), d, d + n);
  });
  EXPECT_EQ(streamed, jpeg);

  // Odd tiny sizes survive too.
  Result<Bitmap24> tiny = DecodeJpeg(EncodeJpeg(AsymmetricPicture(1, 1)));
  ASSERT_TRUE(tiny);
  EXPECT_EQ(tiny.Value().Width(), 1);
  EXPECT_LE(testing::ChannelDistance(tiny.Value().Pixel(0, 0), testing::AsymmetricColor(0, 0)), 8);
}

TEST(JpegWrite, EmptyPictureIsNotWritten) {
  EXPECT_TRUE(EncodeJpeg(Bitmap24()).empty());
  std::string error;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("zevo-empty-" + std::to_string(::getpid()) + ".jpg"))
                               .string();
  EXPECT_FALSE(SaveJpegFile(Bitmap24(), path, 90, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(JpegRead, LoadsGreyRgbCmykAndProgressiveFixtures) {
  struct Case {
    const char* name;
    Color (*expected)(int, int);
    int tolerance;
  };
  for (const Case& c :
       {Case{"ok_rgb.jpg", SmoothColor, 8}, Case{"ok_progressive.jpg", SmoothColor, 8},
        Case{"ok_gray.jpg", SmoothGrey, 4}, Case{"ok_cmyk.jpg", SmoothColor, 10}}) {
    SCOPED_TRACE(c.name);
    Result<Bitmap24> b = LoadJpegFile(std::string(ZEVO_TEST_DATA_DIR "/jpeg/") + c.name);
    ASSERT_TRUE(b) << b.ErrorText();
    EXPECT_TRUE(PixelsNear(b.Value(), 37, 23, c.expected, c.tolerance));
  }
}

// Sets the size in the SOF0 segment of a file we wrote.
Bytes WithSize(Bytes jpeg, int width, int height) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = std::uint8_t(height >> 8);
      jpeg[i + 6] = std::uint8_t(height);
      jpeg[i + 7] = std::uint8_t(width >> 8);
      jpeg[i + 8] = std::uint8_t(width);
      break;
    }
  }
  return jpeg;
}

TEST(JpegRead, RefusesDamagedAndImplausibleFiles) {
  for (const char* name : {"bad_truncated.jpg", "bad_no_image.jpg"}) {
    Result<Bitmap24> b = LoadJpegFile(std::string(ZEVO_TEST_DATA_DIR "/jpeg/") + name);
    ASSERT_FALSE(b) << name;
    EXPECT_NE(b.ErrorText().find(name), std::string::npos) << b.ErrorText();
    EXPECT_FALSE(IsTooLarge(b.ErrorText())) << b.ErrorText();
  }
  const Bytes good = EncodeJpeg(SmoothPicture());
  EXPECT_FALSE(DecodeJpeg({}));
  const Bytes bmp = EncodeBmp(SmoothPicture());
  Result<Bitmap24> not_jpeg = DecodeJpeg(bmp);
  ASSERT_FALSE(not_jpeg);
  EXPECT_NE(not_jpeg.ErrorText().find("JPEG"), std::string::npos);

  // A few bytes that claim 64 M pixels are not believed; a bitmap over the limit is too large
  // whatever the data; sides over the limit are damage.
  Result<Bitmap24> implausible = DecodeJpeg(WithSize(good, 8192, 8192));
  ASSERT_FALSE(implausible);
  EXPECT_NE(implausible.ErrorText().find("too few"), std::string::npos) << implausible.ErrorText();
  Result<Bitmap24> huge = DecodeJpeg(WithSize(good, 30000, 30000));
  ASSERT_FALSE(huge);
  EXPECT_TRUE(IsTooLarge(huge.ErrorText())) << huge.ErrorText();
  Result<Bitmap24> padded = LoadJpegFile(ZEVO_TEST_DATA_DIR "/jpeg/bad_too_large_padded.jpg");
  ASSERT_FALSE(padded);
  EXPECT_NE(padded.ErrorText().find("32768 x 32768 pixels are too large for Zevo 3"),
            std::string::npos)
      << padded.ErrorText();
  Result<Bitmap24> wide = DecodeJpeg(WithSize(good, 40000, 20));
  ASSERT_FALSE(wide);
  EXPECT_NE(wide.ErrorText().find("larger"), std::string::npos) << wide.ErrorText();
  // A claimed size larger than the data, inside the limits: the scan breaks off.
  EXPECT_FALSE(DecodeJpeg(WithSize(good, 370, 230)));

  // Cut files are refused, not padded with grey.
  for (std::size_t n = 0; n + 2 < good.size(); ++n) {
    EXPECT_FALSE(DecodeJpeg(std::span(good).first(n))) << n;
  }
  // A missing end mark alone loses no pixels.
  EXPECT_TRUE(DecodeJpeg(std::span(good).first(good.size() - 2)));
}

TEST(PictureFile, ChoosesTheFormatByTheUpperCasedExtension) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("zevo-pictures-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / "dir.bmp");
  const std::string bmp_lower = (folder / "a.bmp").string();
  const std::string bmp_mixed = (folder / "b.Bmp").string();
  const std::string jpg = (folder / "c.jpg").string();
  const std::string bare = (folder / "dir.bmp" / "picture").string();
  const std::string bmp_as_jpg = (folder / "e.jpg").string();
  std::string error;
  ASSERT_TRUE(SaveBmpFile(AsymmetricPicture(), bmp_lower, &error)) << error;
  ASSERT_TRUE(SaveBmpFile(AsymmetricPicture(), bmp_mixed, &error)) << error;
  ASSERT_TRUE(SaveBmpFile(AsymmetricPicture(), bmp_as_jpg, &error)) << error;
  ASSERT_TRUE(SaveJpegFile(SmoothPicture(), jpg, 90, &error)) << error;
  ASSERT_TRUE(SaveJpegFile(SmoothPicture(), bare, 90, &error)) << error;

  EXPECT_TRUE(LoadPictureFile(bmp_lower).Value().SamePixels(AsymmetricPicture()));
  EXPECT_TRUE(LoadPictureFile(bmp_mixed).Value().SamePixels(AsymmetricPicture()));
  EXPECT_TRUE(PixelsNear(LoadPictureFile(jpg).Value(), 37, 23, SmoothColor, 12));
  EXPECT_TRUE(PixelsNear(LoadPictureFile(bare).Value(), 37, 23, SmoothColor, 12));
  Result<Bitmap24> wrong = LoadPictureFile(bmp_as_jpg);
  ASSERT_FALSE(wrong);
  EXPECT_NE(wrong.ErrorText().find("e.jpg"), std::string::npos) << wrong.ErrorText();
  Result<Bitmap24> missing = LoadPictureFile((folder / "none.JPG").string());
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.ErrorText().find("none.JPG"), std::string::npos) << missing.ErrorText();
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zevo::gfx
