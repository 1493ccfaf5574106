// What reading a stroke layout takes from the memory budget, record by record.
#include <gtest/gtest.h>

#include "files/document_budget.h"
#include "files/stroke_layout.h"
#include "gfx/bmp_file.h"
#include "gfx/picture_limits.h"
#include "tests/files/layout_bytes.h"

namespace zevo::files {
namespace {

using gfx::Bitmap24;
using ink::StrokeDocument;
using testing::Gen3Header;
using testing::LayoutBytes;

int ReadWithin(StrokeDocument& d, LayoutBytes b, DocumentBudget& budget) {
  b.PatchSize(testing::SizeOffset(b));
  d.Clear();
  return ReadStrokeLayout(d, b.bytes, nullptr, budget);
}

LayoutBytes& Picture(LayoutBytes& b, std::uint32_t kind, const std::vector<std::uint8_t>& bmp) {
  return b.U32(kind).U32(0).U32(1).U32(2).U32(std::uint32_t(bmp.size())).Bytes(bmp);
}

// A sheet with every kind of record and the memory each takes.
LayoutBytes EveryKind() {
  LayoutBytes b = Gen3Header(2);
  b.U32(0).U32(0).U32(3).Sample(0, 0, 4).Sample(1, 10, 8).Sample(3.5f, 10, 0);  // 5 samples
  b.U32(3).U32(0x445566).F32(3).F32(4);
  b.U32(2).U32(0).F32(10).F32(20).F32(13).F32(2).U32(16).U32(2).Raw("abcd");
  Picture(b, 1, gfx::EncodeBmp(Bitmap24(5, 3)));
  Picture(b, 5, gfx::EncodeBmp(Bitmap24(4, 2)));
  return b;
}
const std::uint64_t kEveryKindBytes = 5 * kSampleBytes + 4 * kEntryBytes +
                                      gfx::PictureBytes(16, 2) + gfx::PictureBytes(5, 3) +
                                      gfx::PictureBytes(4, 2);

TEST(DocumentBudget, EveryRecordIsCountedBeforeItIsRead) {
  StrokeDocument d(1, 1);
  DocumentBudget exact(kEveryKindBytes);
  ASSERT_EQ(ReadWithin(d, EveryKind(), exact), kReadOk);
  EXPECT_EQ(exact.Left(), 0u);
  EXPECT_EQ(d.Count(), 4);
  EXPECT_EQ(d.Entry(0)->samples.size(), 5u);

  // One byte short anywhere, and the document is refused as too large and left empty.
  for (std::uint64_t total = 0; total < kEveryKindBytes; ++total) {
    SCOPED_TRACE(total);
    DocumentBudget short_of(total);
    ASSERT_EQ(ReadWithin(d, EveryKind(), short_of), kReadTooLarge);
    EXPECT_EQ(d.Count(), 0);
    EXPECT_EQ(d.Background(), nullptr);
  }
}

TEST(DocumentBudget, TheSamplingStepMultipliesWhatSamplesTake) {
  constexpr std::uint32_t kStored = 1000;
  auto stroke = [](std::int32_t step) {
    LayoutBytes b = Gen3Header(step);
    b.U32(0).U32(0).U32(kStored);
    for (std::uint32_t i = 0; i + 1 < kStored; ++i) b.Sample(float(i), 5, 2);
    b.Sample(1000, 5, 0);
    return b;
  };
  const std::uint64_t step1 = kStored * kSampleBytes + kEntryBytes;
  const std::uint64_t step4 = ((kStored - 1) * 4 + 1) * kSampleBytes + kEntryBytes;
  StrokeDocument d(1, 1);
  DocumentBudget for_step1(step1);
  EXPECT_EQ(ReadWithin(d, stroke(1), for_step1), kReadOk);
  DocumentBudget too_little(step1);
  EXPECT_EQ(ReadWithin(d, stroke(4), too_little), kReadTooLarge);
  EXPECT_EQ(d.Count(), 0);
  // Refused before a single sample is put back.
  EXPECT_EQ(too_little.Left(), step1);
  DocumentBudget for_step4(step4);
  ASSERT_EQ(ReadWithin(d, stroke(4), for_step4), kReadOk);
  EXPECT_EQ(d.Entry(0)->samples.size(), (kStored - 1) * 4 + 1);
}

TEST(DocumentBudget, PicturesAndStampsOverTheirOwnLimitAreTooLargeWhateverRemains) {
  // A BMP of a few bytes that declares 32768 x 32768, as a picture and as the background.
  std::vector<std::uint8_t> huge = gfx::EncodeBmp(Bitmap24(1, 1));
  for (std::size_t at : {18u, 22u}) huge[at] = 0, huge[at + 1] = 0x80;  // width, height
  StrokeDocument d(1, 1);
  for (std::uint32_t kind : {1u, 5u}) {
    LayoutBytes b = Gen3Header();
    Picture(b, kind, huge);
    DocumentBudget plenty(std::uint64_t(1) << 40);
    EXPECT_EQ(ReadWithin(d, b, plenty), kReadTooLarge) << kind;
  }
  // The widest stamp with one row more than the limit allows.
  const std::int32_t side = Bitmap24::kMaxSide;
  const std::int32_t rows = std::int32_t(gfx::kMaxPictureBytes / gfx::PictureBytes(side, 1)) + 1;
  LayoutBytes b = Gen3Header();
  b.U32(2).U32(0).F32(0).F32(0).F32(1).F32(1).U32(side).U32(std::uint32_t(rows));
  b.Bytes(std::vector<std::uint8_t>(std::size_t(side / 8) * std::size_t(rows)));
  DocumentBudget plenty(std::uint64_t(1) << 40);
  EXPECT_EQ(ReadWithin(d, b, plenty), kReadTooLarge);
  EXPECT_EQ(plenty.Left(), std::uint64_t(1) << 40);
}

TEST(DocumentBudget, AReplacedBackgroundGivesItsMemoryBack) {
  const std::vector<std::uint8_t> bmp = gfx::EncodeBmp(Bitmap24(4, 2));
  LayoutBytes b = Gen3Header();
  Picture(b, 5, bmp);
  Picture(b, 5, bmp);
  const std::uint64_t one = gfx::PictureBytes(4, 2);
  StrokeDocument d(1, 1);
  // Both are held while the second is decoded.
  DocumentBudget two(2 * one);
  ASSERT_EQ(ReadWithin(d, b, two), kReadOk);
  EXPECT_EQ(two.Left(), one);
  DocumentBudget almost(2 * one - 1);
  EXPECT_EQ(ReadWithin(d, b, almost), kReadTooLarge);
}

}  // namespace
}  // namespace zevo::files
