#include "files/stroke_json.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "files/stroke_file.h"
#include "files/stroke_layout.h"
#include "gfx/bitmap24.h"

namespace zevo::files {
namespace {

using gfx::Bitmap24;
using ink::StrokeDocument;

constexpr float kMax = std::numeric_limits<float>::max();
constexpr float kTiny = std::numeric_limits<float>::denorm_min();

void SetText(StrokeDocument::Text& field, const std::string& text) {
  field.fill(0);
  std::memcpy(field.data(), text.data(), std::min(text.size(), field.size()));
}

std::unique_ptr<Bitmap24> Picture(int w, int h) {
  auto b = std::make_unique<Bitmap24>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b->SetPixel(x, y, gfx::Rgb(std::uint8_t(x * 40), std::uint8_t(y * 70), std::uint8_t(x ^ y)));
  return b;
}

// What a document is after a write and a read: the form every comparison below is made in.
void ThroughFile(StrokeDocument& d, StrokeDocument& read) {
  const std::vector<std::uint8_t> layout = BuildStrokeLayout(d, 1);
  ASSERT_EQ(ReadStrokeData(read, layout, nullptr), kReadOk);
}

void ExpectSameDocument(const StrokeDocument& a, const StrokeDocument& b) {
  EXPECT_EQ(a.PaperWidth(), b.PaperWidth());
  EXPECT_EQ(a.PaperHeight(), b.PaperHeight());
  EXPECT_EQ(a.author, b.author);
  EXPECT_EQ(a.protection, b.protection);
  EXPECT_EQ(a.grid, b.grid);
  ASSERT_EQ(a.Count(), b.Count());
  for (int i = 0; i < a.Count(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    const ink::Stroke& x = *a.Entry(i);
    const ink::Stroke& y = *b.Entry(i);
    EXPECT_EQ(x.kind, y.kind);
    EXPECT_EQ(x.value, y.value);
    ASSERT_EQ(x.samples.size(), y.samples.size());
    for (std::size_t k = 0; k < x.samples.size(); ++k) {
      // Bit for bit: -0 and denormals included.
      EXPECT_EQ(std::memcmp(&x.samples[k], &y.samples[k], sizeof(ink::StrokeSample)), 0) << k;
    }
    EXPECT_EQ(x.px, y.px);
    EXPECT_EQ(x.py, y.py);
    EXPECT_EQ(std::memcmp(&x.x, &y.x, 4 * sizeof(float)), 0);
    ASSERT_EQ(x.bitmap == nullptr, y.bitmap == nullptr);
    if (x.bitmap) {
      EXPECT_TRUE(x.bitmap->SamePixels(*y.bitmap));
    }
  }
  ASSERT_EQ(a.Background() == nullptr, b.Background() == nullptr);
  if (a.Background()) {
    EXPECT_TRUE(a.Background()->SamePixels(*b.Background()));
    EXPECT_EQ(a.BackgroundA(), b.BackgroundA());
    EXPECT_EQ(a.BackgroundB(), b.BackgroundB());
  }
}

// Export, import, write and read again: the same document, and the same text once more.
void ExpectRoundTrip(StrokeDocument& d) {
  StrokeDocument read(1024, 718);
  ThroughFile(d, read);
  const std::string json = StrokeDocumentToJson(read);
  StrokeDocument imported(1, 1);
  DocumentBudget budget;
  const StrokeJsonResult r = StrokeDocumentFromJson(json, imported, budget);
  ASSERT_TRUE(r) << r.message << "\n" << json;
  EXPECT_EQ(imported.Position(), imported.Count());
  StrokeDocument back(1024, 718);
  ThroughFile(imported, back);
  ExpectSameDocument(read, back);
  EXPECT_EQ(StrokeDocumentToJson(back), json);
}

TEST(StrokeJson, EveryKindOfEntryComesBackAsItWas) {
  StrokeDocument d(800, 600);
  SetText(d.author, "Wang Xizhi");
  SetText(d.password, "secret");
  d.protection = 0xFFFFFFFDu;
  d.grid = {0x00200010, -1, std::numeric_limits<std::int32_t>::min()};
  d.SetInkColor(0x00112233);
  d.AddSample(10, 20, 3);
  d.AddSample(12.25f, 21.5f, 4.75f);
  d.AddSample(14, 22, 0);
  // A stroke left open is closed by the picture after it.
  d.SetInkColor(0xFFFFFFFFu);
  d.AddSample(100, 200, 5);
  d.AddSample(101, 201, 2);
  d.SetEntryAttribute(77);
  d.AddPicture(-5, std::numeric_limits<std::int32_t>::max(), Picture(5, 3));
  // A stroke of one sample before a stamp.
  d.AddSample(1, 1, 0);
  d.SetEntryAttribute(0);
  auto stamp = std::make_unique<Bitmap24>(13, 2, gfx::kWhite);
  stamp->SetPixel(0, 0, gfx::kBlack);
  stamp->SetPixel(12, 1, 0x00123456);
  d.AddStampEntry(std::move(stamp), 1.5f, -2, 13, 2);
  d.AddFill(0x0000FF00, -2.5f, 1e20f);
  const std::unique_ptr<Bitmap24> paper = Picture(4, 2);
  d.SetBackground(paper.get(), 2, -1);
  ExpectRoundTrip(d);

  const std::string json = StrokeDocumentToJson(d);
  EXPECT_EQ(json.find("secret"), std::string::npos);
  EXPECT_EQ(json.find("password"), std::string::npos);
  EXPECT_NE(json.find(R"({"kind": "picture", "attr": 77, "x": -5, "y": 2147483647, "image": )"
                      R"({"width": 5, "height": 3, "rgb": ")"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(R"({"x": 12.25, "y": 21.5, "radius": 4.75})"), std::string::npos);
}

TEST(StrokeJson, EmptyHistoriesAuthorsAndExtremeValuesComeBack) {
  StrokeDocument empty(1, 32768);
  ExpectRoundTrip(empty);

  for (const std::string& author : {std::string("王羲之 ✍ \"q\" \\ \t"), std::string(256, 'x'),
                                    std::string("cp950 \xA4\xFD\xFF\x01")}) {
    StrokeDocument d(1024, 718);
    SetText(d.author, author);
    d.AddSample(kMax, -kMax, kMax);
    d.AddSample(-0.0f, kTiny, -kTiny);
    d.AddSample(-7.5e-39f, 1e-30f, -1e30f);
    d.AddSample(0.1f, 1.0f / 3, -0.0f);
    d.AddFill(0, kMax, -kMax);
    ExpectRoundTrip(d);
  }
  // Text that is not UTF-8 is kept byte for byte.
  StrokeDocument d(1024, 718);
  SetText(d.author, "\xFF\xFE");
  EXPECT_NE(StrokeDocumentToJson(d).find(R"("author_base64": "//4=")"), std::string::npos);
}

StrokeJsonResult Import(const std::string& text, StrokeDocument& d,
                        std::uint64_t budget_bytes = kMaxDocumentBytes) {
  DocumentBudget budget(budget_bytes);
  return StrokeDocumentFromJson(text, d, budget);
}

const std::string kHead =
    R"({"format": "zevo3-strokes", "version": 1, "paper": {"width": 1024, "height": 718}, )";

std::string WithEntries(const std::string& entries) {
  return kHead + R"("entries": [)" + entries + "]}";
}

TEST(StrokeJson, BadInputIsRefusedNamingWhereItIs) {
  const std::string ink =
      R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2, "radius": 3}, {"x": 1, "y": 2, "radius": 0}]})";
  const std::pair<std::string, std::string> bad[] = {
      {"", "line 1, column 1 (in the document): the text ends where a value should be"},
      {"[]", "the document: must be an object"},
      {kHead + R"("entries": []} x)", "text follows the document's object"},
      {kHead + R"("entries": [)", "(in entries[0]): the text ends where a value should be"},
      {kHead + R"("entries": [}])", "entries[0]: must be an object"},
      {R"({"format": "zevo3-strokes", "version": 1, "entries": []})", "paper: is missing"},
      {R"({"format": "svg", "version": 1})", "format: must be \"zevo3-strokes\""},
      {kHead + R"("version": 1, "entries": []})", "version: appears twice"},
      {R"({"format": "zevo3-strokes", "version": 2})",
       "version: version 2 is newer than this program reads (1)"},
      {R"({"format": "zevo3-strokes", "version": 1, "paper": {"width": 0, "height": 718}})",
       "paper.width: must be a whole number from 1 to 32768, not 0"},
      {kHead + R"("entries": [], "password": "x"})",
       "password: is not a member of a stroke document"},
      {kHead + R"("entries": [], "a\nb": 1})", "a?b: is not a member of a stroke document"},
      {kHead + R"("entries": [], ")" + std::string(100, 'k') + R"(": 1})",
       std::string(64, 'k') + "...: is not a member"},
      {kHead + R"("entries": [], "grid": [1, 2]})", "grid: must hold three whole numbers"},
      {kHead + R"("entries": [], "grid": [1, 2, 3, 4]})", "grid: more than 3 grid words"},
      {kHead + R"("entries": [], "protection": -1})",
       "protection: must be a whole number from 0 to 4294967295, not -1"},
      {kHead + R"("entries": [], "author": "a\u0000b"})", "author: must not hold a zero character"},
      {kHead + R"("entries": [], "author": ")" + std::string(257, 'a') + "\"}",
       "author: must be at most 256 bytes long"},
      {kHead + "\"entries\": [], \"author\": \"\xC3\x28\"}", "the text is not UTF-8"},
      {kHead + R"("entries": [], "author": "\ud800"})", "a high surrogate without its low one"},
      {WithEntries(R"({"kind": "brush"})"),
       "entries[0]: kind must be \"ink\", \"picture\", \"stamp\" or \"fill\""},
      {WithEntries(R"({"color": 1})"), "entries[0]: kind is missing"},
      {WithEntries(ink + R"(, {"kind": "fill", "color": 1, "x": 1})"),
       "entries[1]: y is missing (an entry of kind fill has it)"},
      {WithEntries(R"({"kind": "fill", "attr": 1, "x": 1, "y": 1})"),
       "entries[0]: attr does not belong to an entry of kind fill"},
      {WithEntries(R"({"kind": "ink", "color": 0, "x": 1, "samples": []})"),
       "entries[0]: x does not belong to an entry of kind ink"},
      {WithEntries(R"({"kind": "ink", "color": 0, "samples": []})"),
       "entries[0].samples: a stroke needs at least one sample"},
      {WithEntries(ink + "," +
                   R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2, "radius": "3"}]})"),
       "entries[1].samples[0].radius: must be a number from -3.40282347e+38 to 3.40282347e+38 (a "
       "32-bit float)"},
      {WithEntries(R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2, "radius": 1e39}]})"),
       "entries[0].samples[0].radius: must be a number from -3.40282347e+38 to 3.40282347e+38 (a "
       "32-bit float), not 1e39"},
      {WithEntries(R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2, "radius": 01}]})"),
       "expected ',' or '}'"},
      {WithEntries(R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2}]})"),
       "entries[0].samples[0]: radius is missing"},
      {WithEntries(
           R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2, "radius": 1, "z": 0}]})"),
       "entries[0].samples[0].z: is not a member of a sample"},
      {WithEntries(
           R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2, "radius": 1}, {"x": 1, "y": 2, "radius": 0}, {"x": 1, "y": 2, "radius": 0}]})"),
       "entries[0].samples[1].radius: only the last sample of a stroke may have radius 0"},
      {WithEntries(
           R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2, "radius": 1}, {"x": 1, "y": 2, "radius": 2}]})"),
       "entries[0].samples[1].radius: must be 0, the pen-up sample that closes the stroke, as it "
       "is the last entry"},
      {WithEntries(
           R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2, "radius": 1}, {"x": 1, "y": 2, "radius": 2}]}, )" +
           ink),
       "entries[0].samples[1].radius: must be 0, the pen-up sample that closes the stroke, as an "
       "ink entry follows it"},
      {WithEntries(R"({"kind": "ink", "color": 0, "samples": [{"x": 1, "y": 2, "radius": 0}]})"),
       "entries[0].samples: a stroke of one sample is not closed and it is the last entry"},
      {WithEntries(
           R"({"kind": "picture", "attr": 0, "x": 1.5, "y": 0, "image": {"width": 1, "height": 1, "rgb": "AAAA"}})"),
       "entries[0].x: must be a whole number from -2147483648 to 2147483647, not 1.5"},
      {WithEntries(
           R"({"kind": "picture", "attr": 0, "x": 1, "y": 0, "image": {"width": 0, "height": 1, "rgb": ""}})"),
       "entries[0].image: an image must be at least 1 x 1 pixels"},
      {WithEntries(
           R"({"kind": "picture", "attr": 0, "x": 1, "y": 0, "image": {"width": 2, "height": 1, "rgb": "AAAA"}})"),
       "entries[0].image.rgb: must be base64 text of 6 bytes (3 bytes R, G, B a pixel, for 2 x 1)"},
      {WithEntries(
           R"({"kind": "picture", "attr": 0, "x": 1, "y": 0, "image": {"width": 1, "height": 1, "rgb": "AA*A"}})"),
       "entries[0].image.rgb: must be base64 text"},
      {WithEntries(
           R"({"kind": "picture", "attr": 0, "x": 1, "y": 0, "mask": {"width": 1, "height": 1, "bits": "AA=="}})"),
       "entries[0]: mask does not belong to an entry of kind picture"},
      {WithEntries(
           R"({"kind": "stamp", "attr": 0, "x": 1, "y": 0, "width": 1, "height": 1, "mask": {"width": 9, "height": 1, "bits": "AA=="}})"),
       "entries[0].mask.bits: must be base64 text of 2 bytes (a row of width / 8 bytes, rounded "
       "up, for 9 x 1)"},
      {kHead + R"("entries": [], "background": {"a": 0, "b": 0}})", "background: image is missing"},
  };
  for (const auto& [text, message] : bad) {
    StrokeDocument d(1024, 718);
    d.AddFill(1, 2, 3);
    const StrokeJsonResult r = Import(text, d);
    EXPECT_EQ(r.code, StrokeJsonResult::kInvalid) << text;
    EXPECT_NE(r.message.find(message), std::string::npos) << r.message << "\nwanted: " << message;
    // Nothing is left of a refused text.
    EXPECT_EQ(d.Count(), 0);
    EXPECT_EQ(d.Background(), nullptr);
  }
}

TEST(StrokeJson, SyntaxErrorsGiveLineAndColumn) {
  StrokeDocument d(1024, 718);
  const StrokeJsonResult r = Import("{\n  \"format\": \"zevo3-strokes\",\n  \"version\" 1}", d);
  EXPECT_EQ(r.message, "line 3, column 13 (in the document): expected ':'");
}

TEST(StrokeJson, WhatWouldNeedTooMuchMemoryIsRefusedBeforeItIsTaken) {
  StrokeDocument d(1024, 718);
  const std::string huge = WithEntries(
      R"({"kind": "picture", "attr": 0, "x": 0, "y": 0, "image": {"width": 32768, "height": 32768, "rgb": ""}})");
  StrokeJsonResult r = Import(huge, d);
  EXPECT_EQ(r.code, StrokeJsonResult::kTooLarge);
  EXPECT_EQ(r.message, "entries[0].image: a 32768 x 32768 picture is too large for Zevo 3");

  // Samples count against the budget as they are read.
  std::string entries = R"({"kind": "ink", "color": 0, "samples": [)";
  for (int i = 0; i < 1000; ++i) entries += R"({"x": 1, "y": 2, "radius": 1}, )";
  entries += R"({"x": 1, "y": 2, "radius": 0}]})";
  const std::string many = WithEntries(entries);
  EXPECT_TRUE(Import(many, d, kMaxDocumentBytes));
  EXPECT_EQ(d.Entry(0)->SampleCount(), 1001);
  r = Import(many, d, many.size() + 500 * kSampleBytes);
  EXPECT_EQ(r.code, StrokeJsonResult::kTooLarge);
  EXPECT_NE(r.message.find("entries[0].samples[500]: too large for Zevo 3"), std::string::npos)
      << r.message;
  EXPECT_EQ(d.Count(), 0);
  // The text itself is held while it is read.
  EXPECT_EQ(Import(many, d, many.size() - 1).code, StrokeJsonResult::kTooLarge);
}

TEST(StrokeJson, MembersMayComeInAnyOrderAndStampMasksComeBackRedOnWhite) {
  StrokeDocument d(1024, 718);
  const StrokeJsonResult r =
      Import(R"({"entries": [{"mask": {"bits": "gAE=", "height": 1, "width": 9}, "height": 1,)"
             R"( "width": 9, "y": 0, "x": 1, "attr": 3, "kind": "stamp"}],)"
             R"( "paper": {"height": 20, "width": 10}, "version": 1, "format": "zevo3-strokes"})",
             d);
  ASSERT_TRUE(r) << r.message;
  EXPECT_EQ(d.PaperWidth(), 10);
  ASSERT_EQ(d.Count(), 1);
  const Bitmap24& mask = *d.Entry(0)->bitmap;
  ASSERT_EQ(mask.Width(), 9);
  for (int x = 0; x < 9; ++x)
    EXPECT_EQ(mask.Pixel(x, 0), x == 7 || x == 8 ? gfx::Rgb(255, 0, 0) : gfx::kWhite) << x;
  EXPECT_EQ(d.Entry(0)->value, 3u);
}

}  // namespace
}  // namespace zevo::files
