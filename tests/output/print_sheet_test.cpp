#include "output/print_sheet.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "seals/grid_pages.h"
#include "seals/trace_pages.h"

namespace zevo::output {
namespace {

using gfx::Bitmap24;

PrintLayout Layout(int pw, int ph, int scale = 100) {
  Result<PrintLayout> r = ComputePrintLayout(pw, ph, scale);
  EXPECT_TRUE(r.Ok()) << r.ErrorText();
  return r.Value();
}

bool AllWhite(const Bitmap24& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != gfx::kWhite) return false;
  return true;
}

TEST(PrintSheet, UprightWorkBitmapIsNotAveraged) {
  ink::StrokeDocument doc(1024, 718);
  doc.AddSample(100, 100, 10);
  doc.AddSample(200, 100, 10);
  doc.AddSample(201, 100, 0);
  SheetInputs in;
  in.live = &doc;
  Result<PrintedSheet> r = RenderPrintSheet(Layout(7016, 4961), in);
  ASSERT_TRUE(r.Ok()) << r.ErrorText();
  const Bitmap24& w = r.Value().work;
  EXPECT_EQ(w.Width(), 4096);
  EXPECT_EQ(w.Height(), 2896);
  EXPECT_EQ(r.Value().page, (gfx::Rect{0, 0, 7016, 4961}));
  EXPECT_EQ(w.Pixel(600, 400), gfx::kBlack);
  EXPECT_EQ(w.Pixel(600, 500), gfx::kWhite);
  EXPECT_EQ(doc.Position(), 1);
}

TEST(PrintSheet, TurnedLayoutRunsTheSheetsTopUpThePagesLeftSide) {
  ink::StrokeDocument doc(1024, 718);
  doc.AddSample(100, 200, 10);  // paper (100, 200) -> print (200, 924)
  doc.AddSample(101, 200, 0);
  // A picture whose top-left pixel is not white: white is still its transparent colour.
  auto pic = std::make_unique<Bitmap24>(10, 20, gfx::kWhite);
  pic->SetPixel(0, 0, 0x00000080);
  pic->FillRect({5, 0, 10, 20}, 0x0000FF00);
  doc.AddPicture(500, 300, std::move(pic));
  SheetInputs in;
  in.live = &doc;
  Result<PrintedSheet> r = RenderPrintSheet(Layout(4961, 7016), in);
  ASSERT_TRUE(r.Ok());
  const Bitmap24& w = r.Value().work;
  EXPECT_EQ(w.Width(), 2896);
  EXPECT_EQ(w.Height(), 4096);
  EXPECT_EQ(w.Pixel(800, 3696), gfx::kBlack);
  // Picture (500, 300) 10 x 20 -> (300 * 4, (1024 - 510) * 4) - (320 * 4, (1024 - 500) * 4).
  // Its right half (x 505..509) lies at the top of that rectangle after the turn.
  EXPECT_EQ(w.Pixel(1210, 2060), 0x0000FF00u);
  EXPECT_EQ(w.Pixel(1210, 2090), gfx::kWhite);  // white left half: transparent
  EXPECT_EQ(w.Pixel(1201, 2095), 0x00000080u);  // its top-left pixel is drawn
}

TEST(PrintSheet, GridPenWidthFollowsTheScale) {
  SheetInputs in;
  in.grid_shown = true;  // first vertical line at paper x 11
  Result<PrintedSheet> r = RenderPrintSheet(Layout(7016, 4961, 150), in);
  ASSERT_TRUE(r.Ok());
  const Bitmap24& w = r.Value().work;
  EXPECT_EQ(w.Width(), 6144);
  // gl = 1536 * 11 div 1024 = 16: the line is 6 work pixels wide around x = 64.
  int wide = 0;
  for (int x = 50; x < 80; ++x) wide += w.Pixel(x, 1000) == seals::kGridColor;
  EXPECT_EQ(wide, 6);
}

TEST(PrintSheet, TurnedGridRunsAcrossThePage) {
  SheetInputs in;
  in.grid_shown = true;  // rows at paper y 109, 359, 609; columns at x 11 ... 1011
  Result<PrintedSheet> r = RenderPrintSheet(Layout(4961, 7016), in);
  ASSERT_TRUE(r.Ok());
  const Bitmap24& w = r.Value().work;
  // Paper row y = 109 becomes the work column 4 * 109, from paper x 11 (near the bottom) up.
  EXPECT_EQ(w.Pixel(436, 2000), seals::kGridColor);
  EXPECT_EQ(w.Pixel(436, 4 * (1024 - 11) + 3), gfx::kWhite);
  EXPECT_EQ(w.Pixel(4 * 609, 2000), seals::kGridColor);
  // Paper column x = 11 becomes the work row 4 * (1024 - 11).
  EXPECT_EQ(w.Pixel(1000, 4 * (1024 - 11)), seals::kGridColor);
  EXPECT_EQ(w.Pixel(1000, 4 * (1024 - 261)), seals::kGridColor);
  EXPECT_EQ(w.Pixel(1000, 2000), gfx::kWhite);
}

TEST(PrintSheet, BackgroundsAtTheirPrintScale) {
  const Bitmap24 tile(16, 8, 0x00224466);
  SheetInputs in;
  in.background = {&tile, seals::kBackgroundTexture, seals::kFitPaper};
  Result<PrintedSheet> r = RenderPrintSheet(Layout(7016, 4961), in);
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.Value().work.Pixel(4095, 2895), 0x00224466u);
  // A centred image lands at ((1024 - 400) >> 1) * g on the upright page ...
  const Bitmap24 image(400, 300, 0x00118855);
  in.background = {&image, seals::kBackgroundImage, seals::kFitCentre};
  ink::StrokeDocument doc(1024, 718);
  in.live = &doc;
  r = RenderPrintSheet(Layout(7016, 4961), in);
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.Value().work.Pixel(312 * 4, 209 * 4), 0x00118855u);
  EXPECT_EQ(r.Value().work.Pixel(312 * 4 - 1, 209 * 4), gfx::kWhite);
  // ... and left and top on the turned page sit at its bottom-left corner.
  in.background.fit = seals::kFitLeftTop;
  r = RenderPrintSheet(Layout(4961, 7016), in);
  ASSERT_TRUE(r.Ok());
  const Bitmap24& t = r.Value().work;
  EXPECT_EQ(t.Pixel(0, 4095), 0x00118855u);
  EXPECT_EQ(t.Pixel(1199, 4096 - 1600), 0x00118855u);
  EXPECT_EQ(t.Pixel(1200, 4095), gfx::kWhite);
  EXPECT_EQ(t.Pixel(0, 4096 - 1601), gfx::kWhite);
}

class Recorder : public base::ProgressDisplay {
 public:
  void Show(int maximum, int line) override { log.push_back({'S', maximum, line}); }
  void ShowText(int maximum, const std::string&) override { log.push_back({'T', maximum, 0}); }
  void SetPosition(int p) override { log.push_back({'P', p, 0}); }
  void Hide() override { log.push_back({'H', 0, 0}); }
  struct E {
    char c;
    int a, b;
    bool operator==(const E&) const = default;
  };
  std::vector<E> log;
};

TEST(PrintSheet, ProgressForTraceModelAndHistory) {
  ink::StrokeDocument model(1024, 718), doc(1024, 718);
  for (int i = 0; i < 16; ++i) model.AddFill(0, 1, 1);
  for (int i = 0; i < 40; ++i) doc.AddFill(0, 1, 1);
  for (int i = 0; i < 5; ++i) doc.StepBack();  // 35 of 40 shown
  SheetInputs in;
  in.trace_model = &model;
  in.trace_shown = true;
  in.live = &doc;
  Recorder rec;
  ASSERT_TRUE(RenderPrintSheet(Layout(7016, 4961), in, &rec).Ok());
  const std::vector<Recorder::E> want{
      {'S', 40, base::kProgressLineHistory}, {'P', 16, 0}, {'P', 32, 0}, {'H', 0, 0}};
  EXPECT_EQ(rec.log, want);
  EXPECT_EQ(doc.Position(), 35);
  model.AddFill(0, 1, 1);  // 17 entries now show the panel
  rec.log.clear();
  ASSERT_TRUE(RenderPrintSheet(Layout(7016, 4961), in, &rec).Ok());
  ASSERT_GE(rec.log.size(), 3u);
  EXPECT_EQ(rec.log[0], (Recorder::E{'S', 17, base::kProgressLineTraceModel}));
  EXPECT_EQ(rec.log[1], (Recorder::E{'P', 16, 0}));
  EXPECT_EQ(rec.log[2], (Recorder::E{'H', 0, 0}));
}

TEST(PrintSheet, PositionZeroPrintsOnlyThePaper) {
  ink::StrokeDocument doc(1024, 718);
  doc.AddSample(100, 100, 10);
  doc.AddSample(101, 100, 0);
  doc.StepBack();
  SheetInputs in;
  in.live = &doc;
  Result<PrintedSheet> r = RenderPrintSheet(Layout(7016, 4961), in);
  ASSERT_TRUE(r.Ok());
  EXPECT_TRUE(AllWhite(r.Value().work));
  EXPECT_EQ(doc.Position(), 0);
}

TEST(PrintSheet, EntriesWithAbsurdValuesAreClippedNotOverflowed) {
  ink::StrokeDocument doc(1024, 718);
  doc.AddSample(1e30f, -1e30f, 1e30f);
  doc.AddSample(5, 5, 0);
  doc.AddPicture(2147483647, -2147483647, std::make_unique<Bitmap24>(3, 3, gfx::kBlack));
  doc.AddStampEntry(std::make_unique<Bitmap24>(3, 3, gfx::kBlack), -3e38f, 0, 3e38f, 1e-30f);
  doc.AddFill(0x00FF0000, -1e20f, 1e20f);
  SheetInputs in;
  in.live = &doc;
  in.grid = {65535, 65535, 65535, 65535, 65535, 65535};
  in.grid_shown = true;
  EXPECT_TRUE(RenderPrintSheet(Layout(7016, 4961, 25), in).Ok());
  EXPECT_TRUE(RenderPrintSheet(Layout(4961, 7016, 25), in).Ok());
}

}  // namespace
}  // namespace zevo::output
