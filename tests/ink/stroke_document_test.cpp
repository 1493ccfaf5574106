#include "ink/stroke_document.h"

#include <gtest/gtest.h>

namespace zevo::ink {
namespace {

void AddStroke(StrokeDocument& doc, float x, int samples = 3) {
  for (int i = 0; i < samples - 1; ++i) doc.AddSample(x + i, 10, 5);
  doc.AddSample(x + samples, 10, 0);
}

TEST(StrokeDocument, StartsEmptyWithItsDefaults) {
  StrokeDocument doc(1024, 718);
  EXPECT_EQ(doc.Count(), 0);
  EXPECT_EQ(doc.Position(), 0);
  EXPECT_EQ(doc.Current(), nullptr);
  EXPECT_EQ(doc.StepForward(), nullptr);
  EXPECT_EQ(doc.StepBack(), nullptr);
  EXPECT_EQ(doc.GotoHead(), nullptr);
  EXPECT_EQ(doc.Position(), 0);
  EXPECT_EQ(doc.EntryAttribute(), 255u);
  EXPECT_EQ(doc.InkColor(), 0u);
  EXPECT_EQ(doc.protection, 0xFFFFFFFFu);
  EXPECT_EQ(doc.format_version, 0x10003u);
  EXPECT_EQ(std::string(doc.signature.data(), 4), "Zvrn");
  EXPECT_EQ(doc.PaperWidth(), 1024);
  EXPECT_EQ(doc.PaperHeight(), 718);
}

TEST(StrokeDocument, PenDownToPenUpIsOneEntryClosedByTheZeroRadius) {
  StrokeDocument doc(1024, 718);
  doc.SetInkColor(0x0000FF);
  doc.AddSample(1, 2, 3);
  EXPECT_TRUE(doc.StrokeOpen());
  EXPECT_EQ(doc.Count(), 1);
  doc.AddSample(4, 5, 0);
  EXPECT_FALSE(doc.StrokeOpen());
  ASSERT_EQ(doc.Count(), 1);
  Stroke* s = doc.Current();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->kind, StrokeKind::Ink);
  EXPECT_EQ(s->value, 0x0000FFu);
  ASSERT_EQ(s->SampleCount(), 2);
  EXPECT_EQ(s->samples[1], (StrokeSample{4, 5, 0}));

  // A first sample of radius 0 does not close the stroke it opens.
  doc.AddSample(7, 7, 0);
  EXPECT_TRUE(doc.StrokeOpen());
  doc.AddSample(8, 8, 2);
  EXPECT_EQ(doc.Count(), 2);
  EXPECT_EQ(doc.Current()->SampleCount(), 2);
}

TEST(StrokeDocument, SampleCursorWalksInOrder) {
  StrokeDocument doc(100, 100);
  AddStroke(doc, 0, 4);
  Stroke* s = doc.Current();
  EXPECT_EQ(s->NextSample(), nullptr);  // the cursor was never set
  const StrokeSample* p = s->FirstSample();
  int n = 0;
  float last_x = -1;
  for (; p != nullptr; p = s->NextSample(), ++n) {
    EXPECT_GT(p->x, last_x);
    last_x = p->x;
  }
  EXPECT_EQ(n, 4);
  EXPECT_EQ(s->NextSample(), nullptr);
  EXPECT_NE(s->FirstSample(), nullptr);
}

TEST(StrokeDocument, WritingAfterStepsBackTruncatesTheHistory) {
  StrokeDocument doc(1024, 718);
  for (int i = 0; i < 5; ++i) AddStroke(doc, float(i * 10));
  EXPECT_EQ(doc.Position(), 5);
  doc.StepBack();
  doc.StepBack();
  doc.StepBack();
  EXPECT_EQ(doc.Position(), 2);
  AddStroke(doc, 500);
  EXPECT_EQ(doc.Count(), 3);
  EXPECT_EQ(doc.Position(), 3);
  EXPECT_EQ(doc.StepForward(), nullptr);
  EXPECT_EQ(doc.Position(), 3);
  EXPECT_EQ(doc.Current()->samples[0].x, 500);
}

TEST(StrokeDocument, WritingAtPositionZeroStartsAFreshSheet) {
  StrokeDocument doc(1024, 718);
  gfx::Bitmap24 paper(4, 3, gfx::kWhite);
  doc.SetBackground(&paper, 2, 1);
  doc.author[0] = 'A';
  doc.protection = 1;
  doc.grid[0] = 42;
  for (int i = 0; i < 3; ++i) AddStroke(doc, float(i));
  doc.GotoHead();
  doc.StepBack();
  ASSERT_EQ(doc.Position(), 0);
  doc.AddFill(0xFF, 3, 4);
  EXPECT_EQ(doc.Count(), 1);
  EXPECT_EQ(doc.Position(), 1);
  EXPECT_EQ(doc.Background(), nullptr);
  EXPECT_EQ(doc.BackgroundA(), 0);
  EXPECT_EQ(doc.BackgroundB(), 0);
  // Identity, protection and grid stay with the sheet.
  EXPECT_EQ(doc.author[0], 'A');
  EXPECT_EQ(doc.protection, 1u);
  EXPECT_EQ(doc.grid[0], 42);
}

TEST(StrokeDocument, NonInkEntriesCloseTheOpenStroke) {
  StrokeDocument doc(1024, 718);
  doc.SetEntryAttribute(7);
  doc.AddSample(1, 1, 4);
  doc.AddStampEntry(std::make_unique<gfx::Bitmap24>(8, 8), 1, 2, 30, 40);
  EXPECT_FALSE(doc.StrokeOpen());
  EXPECT_EQ(doc.Current()->kind, StrokeKind::Stamp);
  EXPECT_EQ(doc.Current()->value, 7u);
  EXPECT_EQ(doc.Current()->width, 30);
  doc.AddSample(2, 2, 4);
  EXPECT_EQ(doc.Count(), 3);
  EXPECT_EQ(doc.Current()->kind, StrokeKind::Ink);
  doc.AddPicture(-3, 9, std::make_unique<gfx::Bitmap24>(2, 2));
  EXPECT_EQ(doc.Current()->kind, StrokeKind::Picture);
  EXPECT_EQ(doc.Current()->px, -3);
  EXPECT_EQ(doc.Current()->value, 7u);
  EXPECT_EQ(doc.Count(), 4);
}

TEST(StrokeDocument, TraversalMovesTheOnePosition) {
  StrokeDocument doc(1024, 718);
  for (int i = 0; i < 4; ++i) AddStroke(doc, float(i));
  EXPECT_EQ(doc.EntryAt(5, true), nullptr);  // beyond count: nothing changes
  EXPECT_EQ(doc.Position(), 4);
  EXPECT_EQ(doc.EntryAt(4, true), nullptr);  // count: none, position 0
  EXPECT_EQ(doc.Position(), 0);
  EXPECT_EQ(doc.StepForward(), doc.Entry(0));
  EXPECT_EQ(doc.Position(), 1);
  EXPECT_EQ(doc.EntryAt(2, false), doc.Entry(2));
  EXPECT_EQ(doc.Position(), 1);
  EXPECT_EQ(doc.EntryAt(2, true), doc.Entry(2));
  EXPECT_EQ(doc.Position(), 3);
  EXPECT_EQ(doc.StepBack(), doc.Entry(1));
  EXPECT_EQ(doc.GotoHead(), doc.Entry(0));
  EXPECT_EQ(doc.StepBack(), nullptr);  // from the first entry to position 0
  EXPECT_EQ(doc.Position(), 0);
  EXPECT_EQ(doc.EntryAt(-1, true), nullptr);
  EXPECT_EQ(doc.Position(), 0);
}

TEST(StrokeDocument, ClearAndResetKeepColourAndAttribute) {
  StrokeDocument doc(1024, 718);
  doc.SetInkColor(0x123456);
  doc.SetEntryAttribute(9);
  doc.password[3] = 'x';
  doc.protection = 0;
  doc.byte_size = 77;
  gfx::Bitmap24 paper(2, 2);
  doc.SetBackground(&paper, 1, 0);
  AddStroke(doc, 0);
  doc.Clear();
  EXPECT_EQ(doc.Count(), 0);
  EXPECT_EQ(doc.Position(), 0);
  EXPECT_EQ(doc.Background(), nullptr);
  EXPECT_EQ(doc.password[3], 0);
  EXPECT_EQ(doc.protection, 0xFFFFFFFFu);
  EXPECT_EQ(doc.byte_size, 0);
  EXPECT_EQ(doc.InkColor(), 0x123456u);
  EXPECT_EQ(doc.EntryAttribute(), 9u);
  doc.Reset(640, 480);
  EXPECT_EQ(doc.PaperWidth(), 640);
  EXPECT_EQ(doc.PaperHeight(), 480);
  EXPECT_EQ(doc.InkColor(), 0x123456u);
}

TEST(StrokeDocument, BackgroundIsACopy) {
  StrokeDocument doc(10, 10);
  gfx::Bitmap24 paper(3, 2, 0x00112233);
  doc.SetBackground(&paper, 2, 3);
  paper.Fill(0);
  ASSERT_NE(doc.Background(), nullptr);
  EXPECT_EQ(doc.Background()->Pixel(1, 1), 0x00112233u);
  EXPECT_EQ(doc.BackgroundA(), 2);
  EXPECT_EQ(doc.BackgroundB(), 3);
  doc.SetBackground(nullptr, 0, 0);
  EXPECT_EQ(doc.Background(), nullptr);
}

}  // namespace
}  // namespace zevo::ink
