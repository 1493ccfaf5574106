#include <gtest/gtest.h>

#include <cstring>

#include "files/stroke_file.h"
#include "files/stroke_layout.h"
#include "gfx/bmp_file.h"

namespace zevo::files {
namespace {

using gfx::Bitmap24;
using ink::StrokeDocument;
using ink::StrokeSample;

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}
float F32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  float v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

void AddStroke(StrokeDocument& d, int samples, float x0 = 0) {
  for (int i = 0; i < samples; ++i) {
    d.AddSample(x0 + float(i), float(2 * i), i + 1 == samples ? 0.0f : 3.0f);
  }
}

TEST(StrokeLayoutWrite, HeaderAndSizes) {
  StrokeDocument d(1024, 718);
  d.protection = 0xFFFFFFFCu;
  d.grid = {0x00400040, 0x00100020, 0x00030004};
  std::memcpy(d.author.data(), "me", 3);
  std::vector<std::uint8_t> b = BuildStrokeLayout(d, 3);
  ASSERT_EQ(b.size(), 556u);
  EXPECT_EQ(std::memcmp(b.data(), "Zvr3", 4), 0);
  EXPECT_EQ(U32At(b, 4), 0x00010003u);
  EXPECT_EQ(U32At(b, 8), 556u);
  EXPECT_EQ(U32At(b, 12), 0u);
  EXPECT_EQ(U32At(b, 16), 1024u);
  EXPECT_EQ(U32At(b, 20), 718u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 24)), "me");
  EXPECT_EQ(b[280], 0);
  EXPECT_EQ(U32At(b, 536), 0xFFFFFFFCu);
  EXPECT_EQ(U32At(b, 540), 3u);
  EXPECT_EQ(U32At(b, 544), 0x00400040u);
  EXPECT_EQ(U32At(b, 548), 0x00100020u);
  EXPECT_EQ(U32At(b, 552), 0x00030004u);
  EXPECT_EQ(d.byte_size, 556);
  EXPECT_EQ(std::string(d.signature.data(), 4), "Zvr3");

  AddStroke(d, 2);
  b = BuildStrokeLayout(d, 1);
  ASSERT_EQ(b.size(), 600u);
  EXPECT_EQ(U32At(b, 8), 600u);
  EXPECT_EQ(U32At(b, 556), 0u);  // kind
  EXPECT_EQ(U32At(b, 564), 2u);  // n
  EXPECT_EQ(F32At(b, 568 + 16), 1.0f);
  EXPECT_EQ(U32At(b, 568 + 28), 0u);  // reserved
  EXPECT_EQ(EstimateStrokeFileSize(d, 1), 600);
}

TEST(StrokeLayoutWrite, OnlyEntriesUpToThePositionAndEveryStepthSample) {
  StrokeDocument d(1024, 718);
  for (int i = 0; i < 10; ++i) AddStroke(d, 2, float(i * 10));
  for (int i = 0; i < 3; ++i) d.StepBack();
  std::vector<std::uint8_t> b = BuildStrokeLayout(d, 1);
  EXPECT_EQ(U32At(b, 12), 10u);
  EXPECT_EQ(b.size(), 556u + 7 * 44);
  StrokeDocument back(1, 1);
  ASSERT_EQ(ReadStrokeData(back, b, nullptr), kReadOk);
  EXPECT_EQ(back.Count(), 7);

  StrokeDocument ten(1024, 718);
  AddStroke(ten, 10);
  AddStroke(ten, 1);  // a single pen-up sample: stored with every step
  for (int s = 1; s <= 4; ++s) {
    b = BuildStrokeLayout(ten, s);
    EXPECT_EQ(std::int64_t(b.size()), EstimateStrokeFileSize(ten, s)) << s;
  }
  b = BuildStrokeLayout(ten, 4);
  ASSERT_EQ(U32At(b, 564), 4u);
  const float expected_x[] = {0, 4, 8, 9};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(F32At(b, 568 + 16 * std::size_t(k)), expected_x[k]);
  const std::size_t second = 568 + 4 * 16;
  EXPECT_EQ(U32At(b, second + 8), 1u);
}

TEST(StrokeLayoutWrite, StampsPicturesAndBackground) {
  StrokeDocument d(1024, 718);
  auto stamp = std::make_unique<Bitmap24>(13, 2, gfx::kWhite);
  stamp->SetPixel(0, 0, gfx::Rgb(254, 255, 255));  // not pure white: ink
  stamp->SetPixel(12, 1, gfx::kBlack);
  d.SetEntryAttribute(9);
  d.AddStampEntry(std::move(stamp), 1, 2, 13, 2);
  auto picture = std::make_unique<Bitmap24>(3, 1, gfx::Rgb(1, 2, 3));
  d.AddPicture(-4, 5, std::move(picture));
  const Bitmap24 paper(6, 4, gfx::Rgb(9, 8, 7));
  d.SetBackground(&paper, 1, 2);

  std::vector<std::uint8_t> b = BuildStrokeLayout(d, 1);
  std::size_t at = 556;
  EXPECT_EQ(U32At(b, at), 2u);
  EXPECT_EQ(U32At(b, at + 4), 9u);
  EXPECT_EQ(F32At(b, at + 16), 13.0f);
  EXPECT_EQ(U32At(b, at + 24), 16u);
  EXPECT_EQ(U32At(b, at + 28), 2u);
  EXPECT_EQ(b[at + 32], 0x01);
  EXPECT_EQ(b[at + 33], 0x00);
  EXPECT_EQ(b[at + 34], 0x00);
  EXPECT_EQ(b[at + 35], 0x10);
  at += 36;
  EXPECT_EQ(U32At(b, at), 1u);
  EXPECT_EQ(U32At(b, at + 8), std::uint32_t(-4));
  const std::uint32_t length = U32At(b, at + 16);
  EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + std::ptrdiff_t(at + 20),
                                      b.begin() + std::ptrdiff_t(at + 20 + length)),
            gfx::EncodeBmp(Bitmap24(3, 1, gfx::Rgb(1, 2, 3))));
  at += 20 + length;
  EXPECT_EQ(U32At(b, at), 5u);
  EXPECT_EQ(U32At(b, at + 4), 5u);
  EXPECT_EQ(U32At(b, at + 8), 1u);
  EXPECT_EQ(U32At(b, at + 12), 2u);
  EXPECT_EQ(at + 20 + U32At(b, at + 16), b.size());

  // The estimate counts raw pixels for pictures and the background.
  EXPECT_EQ(EstimateStrokeFileSize(d, 1), 556 + (8 + 24 + 2 * 2) + (8 + 12 + 9) + (20 + 72));
  EXPECT_EQ(d.byte_size, 556 + 36 + 29 + 92);

  StrokeDocument back(1, 1);
  ASSERT_EQ(ReadStrokeData(back, b, nullptr), kReadOk);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Entry(0)->bitmap->Width(), 16);
  EXPECT_EQ(back.Entry(0)->bitmap->Pixel(0, 0), gfx::Rgb(255, 0, 0));
  EXPECT_EQ(back.Entry(0)->bitmap->Pixel(1, 0), gfx::kWhite);
  EXPECT_EQ(back.Entry(0)->bitmap->Pixel(12, 1), gfx::Rgb(255, 0, 0));
  EXPECT_EQ(back.Entry(0)->bitmap->Pixel(13, 1), gfx::kWhite);
  EXPECT_TRUE(back.Entry(1)->bitmap->SamePixels(Bitmap24(3, 1, gfx::Rgb(1, 2, 3))));
  EXPECT_EQ(back.Entry(1)->px, -4);
  ASSERT_NE(back.Background(), nullptr);
  EXPECT_TRUE(back.Background()->SamePixels(paper));
  EXPECT_EQ(back.BackgroundB(), 2);

  // Position 0 with a background: the header and the background record only.
  d.EntryAt(0, true);
  d.StepBack();
  b = BuildStrokeLayout(d, 1);
  EXPECT_EQ(U32At(b, 556), 5u);
  EXPECT_EQ(b.size(), 556 + 20 + gfx::EncodeBmp(paper).size());
}

}  // namespace
}  // namespace zevo::files
