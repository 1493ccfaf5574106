#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "files/stroke_file.h"
#include "files/stroke_layout.h"
#include "gfx/bmp_file.h"
#include "tests/files/layout_bytes.h"

namespace zevo::files {
namespace {

using gfx::Bitmap24;
using ink::StrokeDocument;
using ink::StrokeKind;
using ink::StrokeSample;
using testing::Gen1Header;
using testing::Gen2Header;
using testing::Gen3Header;
using testing::LayoutBytes;

std::string Str(const StrokeDocument::Text& t) {
  return std::string(t.data());
}
std::string Sig(const StrokeDocument& d) {
  return std::string(d.signature.data(), 4);
}

int Read(StrokeDocument& d, LayoutBytes b, StrokeFileDetails* details = nullptr) {
  b.PatchSize(testing::SizeOffset(b));
  return ReadStrokeData(d, b.bytes, nullptr, details);
}

// 5 x 3, a different value in every channel and pixel, so order and flips show.
Bitmap24 OddPicture() {
  Bitmap24 b(5, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x)
      b.SetPixel(x, y, gfx::Rgb(std::uint8_t(10 + x), std::uint8_t(50 + y), 7));
  }
  return b;
}

void ExpectEmpty(StrokeDocument& d) {
  EXPECT_EQ(d.Count(), 0);
  EXPECT_EQ(d.Position(), 0);
  EXPECT_EQ(d.Background(), nullptr);
  EXPECT_EQ(Str(d.author), "");
  EXPECT_FALSE(d.StrokeOpen());
}

TEST(StrokeLayoutRead, GenerationOneTakesTheDefaults) {
  StrokeDocument d(10, 10);
  d.grid = {1, 2, 3};
  std::memcpy(d.author.data(), "old", 4);
  LayoutBytes b = Gen1Header(640, 480);
  b.U32(0).U32(0x0000FF).U32(2).Sample(1.5f, 2.5f, 3.0f).Sample(4.0f, 5.0f, 0.0f);
  b.U32(3).U32(0x00FF00).F32(7.0f).F32(8.0f);
  StrokeFileDetails details;
  details.step = 9;
  ASSERT_EQ(Read(d, b, &details), kReadOk);
  EXPECT_EQ(Sig(d), "Zvrn");
  EXPECT_EQ(d.format_version, 0x00010001u);
  EXPECT_EQ(d.PaperWidth(), 640);
  EXPECT_EQ(d.PaperHeight(), 480);
  EXPECT_EQ(Str(d.author), "");
  EXPECT_EQ(Str(d.password), "");
  EXPECT_EQ(d.protection, 0xFFFFFFFFu);
  EXPECT_EQ(d.grid, (std::array<std::int32_t, 3>{0, 0, 0}));
  EXPECT_EQ(details.step, 1);
  ASSERT_EQ(d.Count(), 2);
  EXPECT_EQ(d.Position(), 2);
  const ink::Stroke& ink = *d.Entry(0);
  EXPECT_EQ(ink.kind, StrokeKind::Ink);
  EXPECT_EQ(ink.value, 0x0000FFu);
  EXPECT_EQ(ink.samples, (std::vector<StrokeSample>{{1.5f, 2.5f, 3.0f}, {4.0f, 5.0f, 0.0f}}));
  EXPECT_EQ(d.Entry(1)->kind, StrokeKind::Fill);
  EXPECT_EQ(d.Entry(1)->value, 0x00FF00u);
  EXPECT_EQ(d.Entry(1)->x, 7.0f);
  EXPECT_EQ(d.Entry(1)->y, 8.0f);
}

TEST(StrokeLayoutRead, GenerationTwoHasNoGridWordsTwoAndThree) {
  StrokeDocument d(10, 10);
  d.grid = {1, 2, 3};
  LayoutBytes b = Gen2Header(1, 0x00200010);
  b.U32(0).U32(0).U32(1).Sample(1, 1, 0);
  StrokeFileDetails details;
  ASSERT_EQ(Read(d, b, &details), kReadOk);
  EXPECT_EQ(Sig(d), "Zvr2");
  EXPECT_EQ(d.format_version, 0x00010002u);
  EXPECT_EQ(d.PaperWidth(), 800);
  EXPECT_EQ(Str(d.author), "Wang Xizhi");
  EXPECT_EQ(Str(d.password), "secret");
  EXPECT_EQ(d.protection, 0xFFFFFFFEu);
  EXPECT_EQ(d.grid, (std::array<std::int32_t, 3>{0x00200010, 0, 0}));
  EXPECT_EQ(d.Count(), 1);
}

TEST(StrokeLayoutRead, GenerationThreeWithEveryRecordKind) {
  const std::vector<std::uint8_t> picture = gfx::EncodeBmp(OddPicture());
  const std::vector<std::uint8_t> background = gfx::EncodeBmp(Bitmap24(4, 2, gfx::Rgb(1, 2, 3)));
  LayoutBytes b = Gen3Header();
  b.U32(0).U32(0x112233).U32(2).Sample(1, 2, 3, 0xDEADBEEF).Sample(4, 5, 0);
  b.U32(1).U32(77).U32(std::uint32_t(-5)).U32(6).U32(std::uint32_t(picture.size())).Bytes(picture);
  b.U32(7).U32(7);  // a kind this version does not know: two words
  // A stamp 13 pixels wide: padded width 16, two rows.
  b.U32(2).U32(88).F32(10).F32(20).F32(13).F32(2).U32(16).U32(2);
  b.Bytes({0b00000101, 0b10000000, 0xFF, 0x1F});
  b.U32(3).U32(0x445566).F32(3.25f).F32(4.5f);
  b.U32(5).U32(5).U32(2).U32(1).U32(std::uint32_t(background.size())).Bytes(background);

  StrokeDocument d(1, 1);
  StrokeFileDetails details;
  ASSERT_EQ(Read(d, b, &details), kReadOk);
  EXPECT_EQ(Sig(d), "Zvr3");
  EXPECT_EQ(d.format_version, 0x00010003u);
  EXPECT_EQ(Str(d.author), "Yan Zhenqing");
  EXPECT_EQ(d.protection, 0xFFFFFFFDu);
  EXPECT_EQ(d.grid, (std::array<std::int32_t, 3>{0x00300030, 0x00050004, 0x00060007}));
  EXPECT_EQ(details.step, 1);
  ASSERT_EQ(d.Count(), 4);
  EXPECT_EQ(d.Position(), 4);

  EXPECT_EQ(d.Entry(0)->samples, (std::vector<StrokeSample>{{1, 2, 3}, {4, 5, 0}}));
  const ink::Stroke& pic = *d.Entry(1);
  EXPECT_EQ(pic.kind, StrokeKind::Picture);
  EXPECT_EQ(pic.value, 77u);
  EXPECT_EQ(pic.px, -5);
  EXPECT_EQ(pic.py, 6);
  ASSERT_NE(pic.bitmap, nullptr);
  EXPECT_TRUE(pic.bitmap->SamePixels(OddPicture()));

  const ink::Stroke& stamp = *d.Entry(2);
  EXPECT_EQ(stamp.kind, StrokeKind::Stamp);
  EXPECT_EQ(stamp.value, 88u);
  EXPECT_EQ(stamp.width, 13.0f);
  ASSERT_NE(stamp.bitmap, nullptr);
  ASSERT_EQ(stamp.bitmap->Width(), 16);
  ASSERT_EQ(stamp.bitmap->Height(), 2);
  const gfx::Color red = gfx::Rgb(255, 0, 0);
  std::string row0, row1;
  for (int x = 0; x < 16; ++x) {
    row0 += stamp.bitmap->Pixel(x, 0) == red
                ? '#'
                : (stamp.bitmap->Pixel(x, 0) == gfx::kWhite ? '.' : '?');
    row1 += stamp.bitmap->Pixel(x, 1) == red
                ? '#'
                : (stamp.bitmap->Pixel(x, 1) == gfx::kWhite ? '.' : '?');
  }
  EXPECT_EQ(row0, "#.#............#");
  EXPECT_EQ(row1, "#############...");

  EXPECT_EQ(d.Entry(3)->kind, StrokeKind::Fill);
  EXPECT_EQ(d.Entry(3)->value, 0x445566u);
  ASSERT_NE(d.Background(), nullptr);
  EXPECT_EQ(d.Background()->Width(), 4);
  EXPECT_EQ(d.Background()->Pixel(3, 1), gfx::Rgb(1, 2, 3));
  EXPECT_EQ(d.BackgroundA(), 2);
  EXPECT_EQ(d.BackgroundB(), 1);
}

TEST(StrokeLayoutRead, StepsTwoToFourPutTheLeftOutPointsBack) {
  for (int step = 2; step <= 4; ++step) {
    SCOPED_TRACE(step);
    LayoutBytes b = Gen3Header(step);
    b.U32(0).U32(0).U32(3).Sample(0, 0, 4).Sample(1, 10, 8).Sample(3.5f, 10, 0);
    StrokeDocument d(1, 1);
    StrokeFileDetails details;
    ASSERT_EQ(Read(d, b, &details), kReadOk);
    EXPECT_EQ(details.step, step);
    ASSERT_EQ(d.Count(), 1);
    const auto& s = d.Entry(0)->samples;
    ASSERT_EQ(s.size(), std::size_t(1 + 2 * step));
    EXPECT_EQ(s[0], (StrokeSample{0, 0, 4}));
    EXPECT_EQ(s[std::size_t(step)], (StrokeSample{1, 10, 8}));
    EXPECT_EQ(s.back(), (StrokeSample{3.5f, 10, 0}));
    const float fs = float(step);
    for (int j = 1; j < step; ++j) {
      const float fj = float(j);
      EXPECT_EQ(s[std::size_t(j)],
                (StrokeSample{0 + fj * (1.0f / fs), 0 + fj * (10.0f / fs), 4 + fj * (4.0f / fs)}));
      EXPECT_EQ(s[std::size_t(step + j)],
                (StrokeSample{1 + fj * (2.5f / fs), 10.0f, 8 + fj * (-8.0f / fs)}));
    }
    EXPECT_FALSE(d.StrokeOpen());
  }
  // The writer's example: samples 0, 4, 8 and 9 of ten stored with step 4 come back as 13.
  LayoutBytes b = Gen3Header(4);
  b.U32(0).U32(0).U32(4).Sample(0, 0, 1).Sample(4, 0, 1).Sample(8, 0, 1).Sample(9, 0, 0);
  StrokeDocument d(1, 1);
  ASSERT_EQ(Read(d, b), kReadOk);
  ASSERT_EQ(d.Entry(0)->samples.size(), 13u);
  EXPECT_EQ(d.Entry(0)->samples[12].x, 9.0f);
  EXPECT_EQ(d.Entry(0)->samples[11].x, 8.75f);
  // Steps below 2 store every sample.
  for (std::int32_t step : {0, -3}) {
    LayoutBytes z = Gen3Header(step);
    z.U32(0).U32(0).U32(2).Sample(0, 0, 1).Sample(4, 0, 0);
    StrokeDocument e(1, 1);
    ASSERT_EQ(Read(e, z), kReadOk);
    EXPECT_EQ(e.Entry(0)->samples.size(), 2u);
  }
}

TEST(StrokeLayoutRead, ExtremeButFiniteValuesLoadAsTheyAre) {
  // The renderer copes with huge and negative radii and far coordinates; they are no damage.
  LayoutBytes b = Gen3Header();
  b.U32(0).U32(0).U32(3).Sample(1e9f, -1e9f, 3e8f).Sample(-1e9f, 1e9f, -7.5f).Sample(0, 0, 0);
  StrokeDocument d(1, 1);
  ASSERT_EQ(Read(d, b), kReadOk);
  EXPECT_EQ(d.Entry(0)->samples,
            (std::vector<StrokeSample>{{1e9f, -1e9f, 3e8f}, {-1e9f, 1e9f, -7.5f}, {0, 0, 0}}));

  // Between the two ends of the float range the difference overflows; the points put back
  // still lie between them.
  const float max = std::numeric_limits<float>::max();
  LayoutBytes wide = Gen3Header(4);
  wide.U32(0).U32(0).U32(2).Sample(-max, max, 1).Sample(max, -max, 0);
  ASSERT_EQ(Read(d, wide), kReadOk);
  const auto& s = d.Entry(0)->samples;
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(s[2].x, 0.0f);
  EXPECT_EQ(s[2].y, 0.0f);
  for (const StrokeSample& p : s) {
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << p.x << " " << p.y;
  }
  EXPECT_LT(s[1].x, s[2].x);
  EXPECT_GT(s[3].x, s[2].x);
}

TEST(StrokeLayoutRead, StrokesAreDelimitedByTheirPenUpSample) {
  // No pen-up in the first record: the second record continues the same entry; a fill closes
  // it; a last stroke without pen-up is closed when reading ends.
  LayoutBytes b = Gen3Header();
  b.U32(0).U32(1).U32(2).Sample(0, 0, 2).Sample(1, 1, 2);
  b.U32(0).U32(2).U32(2).Sample(2, 2, 2).Sample(3, 3, 0);
  b.U32(0).U32(3).U32(1).Sample(5, 5, 1);
  b.U32(3).U32(4).F32(0).F32(0);
  b.U32(0).U32(5).U32(2).Sample(7, 7, 1).Sample(8, 9, 2);
  StrokeDocument d(1, 1);
  ASSERT_EQ(Read(d, b), kReadOk);
  ASSERT_EQ(d.Count(), 4);
  EXPECT_EQ(d.Entry(0)->samples.size(), 4u);
  EXPECT_EQ(d.Entry(0)->value, 1u);
  EXPECT_EQ(d.Entry(1)->samples.size(), 1u);
  EXPECT_EQ(d.Entry(2)->kind, StrokeKind::Fill);
  EXPECT_FALSE(d.StrokeOpen());
  EXPECT_EQ(d.Entry(3)->samples, (std::vector<StrokeSample>{{7, 7, 1}, {8, 9, 2}, {8, 9, 0}}));
  // The writer's next pen stroke is an entry of its own.
  d.AddSample(100, 100, 3);
  EXPECT_EQ(d.Count(), 5);
}

TEST(StrokeLayoutRead, HeaderResultCodes) {
  StrokeDocument d(1, 1);
  const std::vector<std::uint8_t> nineteen(19, 'Z');
  EXPECT_EQ(ReadStrokeData(d, nineteen, nullptr), kReadUnknown);
  LayoutBytes unknown;
  unknown.Raw("Zvr4").U32(0).U32(0).U32(0).U32(0);
  EXPECT_EQ(Read(d, unknown), kReadUnknown);
  EXPECT_EQ(Sig(d), "Zvr4");
  EXPECT_EQ(Read(d, Gen3Header(1, 0x00010004)), kReadNewerMinor);
  EXPECT_EQ(Read(d, Gen3Header(1, 0x00020000)), kReadMajorVersion);
  EXPECT_EQ(Read(d, Gen3Header(1, 0x00000003)), kReadMajorVersion);
  EXPECT_EQ(Read(d, Gen3Header(1, 0x00010000)), kReadOk);
  EXPECT_EQ(d.format_version, 0x00010000u);

  for (int adjust : {-1, 1}) {
    for (LayoutBytes b : {Gen1Header(), Gen2Header(), Gen3Header()}) {
      b.U32(3).U32(0).F32(1).F32(1);
      b.PatchSize(testing::SizeOffset(b), adjust);
      EXPECT_EQ(ReadStrokeData(d, b.bytes, nullptr), kReadSizeMismatch);
      ExpectEmpty(d);
    }
  }
  // A header cut short whose size word agrees.
  LayoutBytes short3;
  short3.Raw("Zvr3").U32(0x00010003).U32(0).U32(0).U32(1024).U32(718);
  EXPECT_EQ(Read(d, short3), kReadSizeMismatch);
  // A tail too short for a kind word is not a record.
  LayoutBytes tail = Gen3Header();
  tail.U32(3).U32(0).F32(1).F32(1).Raw("xyz");
  EXPECT_EQ(Read(d, tail), kReadOk);
  EXPECT_EQ(d.Count(), 1);
}

TEST(StrokeLayoutRead, DamagedRecordsFailWithAnEmptyDocument) {
  const std::vector<std::uint8_t> picture = gfx::EncodeBmp(OddPicture());
  std::vector<std::uint8_t> broken_picture = picture;
  broken_picture[0] = 'X';
  const auto first = [] {
    LayoutBytes b = Gen3Header();
    b.U32(0).U32(0).U32(2).Sample(1, 1, 1).Sample(2, 2, 0);  // a good entry first
    b.U32(5).U32(5).U32(0).U32(0).U32(std::uint32_t(gfx::EncodeBmp(Bitmap24(2, 2)).size()));
    b.Bytes(gfx::EncodeBmp(Bitmap24(2, 2)));
    return b;
  };
  std::vector<std::pair<const char*, LayoutBytes>> cases;
  cases.push_back({"ink count past the end", first().U32(0).U32(0).U32(3).Sample(1, 1, 1)});
  cases.push_back({"ink count absurd", first().U32(0).U32(0).U32(0xFFFFFFFF).Sample(1, 1, 1)});
  cases.push_back({"ink count cut", first().U32(0).U32(0).Raw("ab")});
  cases.push_back({"record head cut", first().U32(3).Raw("ab")});
  cases.push_back({"fill cut", first().U32(3).U32(0).F32(1)});
  cases.push_back(
      {"picture length past the end",
       first().U32(1).U32(0).U32(0).U32(0).U32(std::uint32_t(picture.size() + 1)).Bytes(picture)});
  cases.push_back({"picture not a BMP", first()
                                            .U32(1)
                                            .U32(0)
                                            .U32(0)
                                            .U32(0)
                                            .U32(std::uint32_t(broken_picture.size()))
                                            .Bytes(broken_picture)});
  cases.push_back(
      {"stamp negative width",
       first().U32(2).U32(0).F32(0).F32(0).F32(1).F32(1).U32(std::uint32_t(-8)).U32(1).Raw("x")});
  cases.push_back({"stamp width not padded",
                   first().U32(2).U32(0).F32(0).F32(0).F32(1).F32(1).U32(13).U32(1).Raw("xy")});
  cases.push_back({"stamp mask past the end",
                   first().U32(2).U32(0).F32(0).F32(0).F32(1).F32(1).U32(16).U32(3).Raw("abcde")});
  cases.push_back(
      {"stamp absurd size",
       first().U32(2).U32(0).F32(0).F32(0).F32(1).F32(1).U32(0x7FFFFFF8).U32(0x7FFFFFFF)});
  cases.push_back({"background cut", first().U32(5).U32(5).U32(0).U32(0).U32(100).Raw("BM")});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  cases.push_back(
      {"sample x not a number", first().U32(0).U32(0).U32(2).Sample(nan, 1, 1).Sample(2, 2, 0)});
  cases.push_back(
      {"sample y infinite", first().U32(0).U32(0).U32(2).Sample(1, -inf, 1).Sample(2, 2, 0)});
  cases.push_back(
      {"sample radius infinite", first().U32(0).U32(0).U32(2).Sample(1, 1, inf).Sample(2, 2, 0)});
  cases.push_back({"stamp x not a number",
                   first().U32(2).U32(0).F32(nan).F32(0).F32(1).F32(1).U32(8).U32(1).Raw("x")});
  cases.push_back({"stamp height infinite",
                   first().U32(2).U32(0).F32(0).F32(0).F32(1).F32(inf).U32(8).U32(1).Raw("x")});
  cases.push_back({"fill x not a number", first().U32(3).U32(0).F32(nan).F32(1)});
  cases.push_back({"fill y infinite", first().U32(3).U32(0).F32(1).F32(-inf)});
  cases.push_back({"step absurd", [] {
                     LayoutBytes b = Gen3Header(1000000);
                     b.U32(0).U32(0).U32(2).Sample(0, 0, 1).Sample(1, 1, 0);
                     return b;
                   }()});
  cases.push_back({"paper negative", [] {
                     LayoutBytes b = Gen1Header(-5, 700);
                     return b;
                   }()});
  for (auto& [name, b] : cases) {
    SCOPED_TRACE(name);
    StrokeDocument d(1, 1);
    EXPECT_EQ(Read(d, b), kReadSizeMismatch);
    ExpectEmpty(d);
  }
}

}  // namespace
}  // namespace zevo::files
