extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}
#include <gtest/gtest.h>
#include <webp/demux.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "files/stroke_file.h"
#include "output/animation.h"
#include "output/animation_file.h"
#include "output/animation_palette.h"
#include "output/sheet_picture.h"
#include "tests/support/gif_reader.h"
#include "tools/animate_command.h"

namespace zevo::output {
namespace {

using gfx::Bitmap24;

// Two strokes of seven samples 6 pixels apart (each tick of three samples draws visibly), a
// picture between them, and a red stroke of one sample.
void WriteSheet(ink::StrokeDocument& doc) {
  doc.SetInkColor(gfx::kBlack);
  for (int k = 0; k < 7; ++k) doc.AddSample(100.0f + 6 * k, 200, k == 6 ? 0.0f : 5.0f);
  doc.AddPicture(400, 300, std::make_unique<Bitmap24>(20, 10, gfx::Rgb(0, 0, 255)));
  for (int k = 0; k < 7; ++k) doc.AddSample(500.0f, 100.0f + 6 * k, k == 6 ? 0.0f : 8.0f);
  doc.SetInkColor(gfx::Rgb(200, 0, 0));
  doc.AddSample(700, 600, 6);
  doc.AddSample(700, 600, 0);
}

// Keeps the frames as a viewer shows them: each frame's changed rectangle copied over the
// last, and checks that nothing outside that rectangle changed.
class ShownFrames final : public AnimationSink {
 public:
  std::string Frame(const Bitmap24& picture, const gfx::Rect& changed,
                    std::int64_t at_ms) override {
    if (times.empty()) {
      shown = picture;
      first = picture;
    } else {
      EXPECT_GT(at_ms, times.back());
      for (int y = changed.top; y < changed.bottom; ++y)
        for (int x = changed.left; x < changed.right; ++x)
          shown.SetPixel(x, y, picture.Pixel(x, y));
      EXPECT_TRUE(shown.SamePixels(picture))
          << "a change outside " << changed.left << "," << changed.top << " at " << at_ms << " ms";
    }
    times.push_back(at_ms);
    rects.push_back(changed);
    return {};
  }
  std::string End(std::int64_t end_ms) override {
    end = end_ms;
    return fail_at_end;
  }

  Bitmap24 shown, first;
  std::vector<std::int64_t> times;
  std::vector<gfx::Rect> rects;
  std::int64_t end = -1;
  std::string fail_at_end;
};

Bitmap24 SheetAt(ink::StrokeDocument& doc, int position, const SheetInputs& base, int w, int h) {
  const int kept = doc.Position();
  doc.ShowFirst(position);
  SheetInputs in = base;
  in.live = &doc;
  Result<Bitmap24> picture = RenderSheetPicture(w, h, in);
  doc.EntryAt(kept - 1, true);
  EXPECT_TRUE(picture.Ok()) << picture.ErrorText();
  return std::move(picture).Value();
}

class Animation : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSheet(doc_);
    in_.live = &doc_;
  }
  AnimationOptions Options(int w = 1024, int h = 718) const {
    AnimationOptions o;
    o.width = w;
    o.height = h;
    o.to = doc_.Count();
    return o;
  }
  ink::StrokeDocument doc_{1024, 718};
  SheetInputs in_;
};

TEST_F(Animation, TicksAndFramesFollowTheReplay) {
  ShownFrames frames;
  const Result<AnimationTotals> done = RenderAnimation(in_, Options(), frames);
  ASSERT_TRUE(done.Ok()) << done.ErrorText();
  // Each stroke of seven samples: a tick to begin it, two of three samples, one to end it; the
  // picture one tick; the stroke of two samples three ticks.
  EXPECT_EQ(done.Value().ticks, 4 + 1 + 4 + 3);
  EXPECT_EQ(ReplayTicks(doc_, 0, doc_.Count(), 3), 12);
  // The blank page, then the ticks that drew: two for each long stroke, the picture, the one
  // segment of the short stroke.
  EXPECT_EQ(done.Value().frames, 1 + 2 + 1 + 2 + 1);
  ASSERT_EQ(int(frames.times.size()), done.Value().frames);
  EXPECT_EQ(frames.times, (std::vector<std::int64_t>{0, 80, 120, 200, 280, 320, 440}));
  // The last tick is shown for its time, then the pause.
  EXPECT_EQ(frames.end, TickTimeMs(13, 25) + 2000);
  EXPECT_EQ(done.Value().duration_ms, frames.end);
  // A tick draws no more than it must: the first stroke's ticks stay near it.
  EXPECT_LT(frames.rects[1].right, 160);
  EXPECT_EQ(doc_.Position(), doc_.Count());  // the live position is kept

  AnimationOptions one = Options();
  one.samples_per_frame = 1;
  one.fps = 10;
  one.pause_ms = 0;
  ShownFrames slow;
  const Result<AnimationTotals> each = RenderAnimation(in_, one, slow);
  ASSERT_TRUE(each.Ok());
  EXPECT_EQ(each.Value().ticks, 8 + 1 + 8 + 3);
  EXPECT_EQ(each.Value().ticks, ReplayTicks(doc_, 0, doc_.Count(), 1));
  EXPECT_EQ(slow.end, 2100);
}

TEST_F(Animation, TheLastFrameIsTheSheetPicture) {
  const Bitmap24 paper(8, 6, gfx::Rgb(240, 230, 200));
  struct Case {
    int w, h;
    bool background, grid, tip;
  };
  for (const Case c : {Case{1024, 718, false, false, false}, Case{1024, 718, false, false, true},
                       Case{333, 500, true, true, true}, Case{1500, 400, true, false, false}}) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    SheetInputs in = in_;
    if (c.background) in.background = {&paper, seals::kBackgroundImage, seals::kFitFull};
    if (c.grid) {
      in.grid = {100, 100, 12, 12, 8, 5};
      in.grid_shown = true;
    }
    AnimationOptions o = Options(c.w, c.h);
    o.tip = c.tip;
    ShownFrames frames;
    ASSERT_TRUE(RenderAnimation(in, o, frames).Ok());
    EXPECT_TRUE(frames.shown.SamePixels(SheetAt(doc_, doc_.Count(), in, c.w, c.h)));
    EXPECT_TRUE(frames.first.SamePixels(SheetAt(doc_, 0, in, c.w, c.h)));
  }
}

TEST_F(Animation, TheTipIsShownWhileAStrokeIsDrawn) {
  // The second frame: three samples of the first stroke drawn, the tip at (118, 200) radius 5.
  struct Second final : public AnimationSink {
    std::string Frame(const Bitmap24& p, const gfx::Rect&, std::int64_t) override {
      if (++n == 2) picture = p;
      return {};
    }
    std::string End(std::int64_t) override { return {}; }
    int n = 0;
    Bitmap24 picture;
  } with_tip, without;
  AnimationOptions o = Options();
  o.to = 1;
  ASSERT_TRUE(RenderAnimation(in_, o, without).Ok());
  o.tip = true;
  ASSERT_TRUE(RenderAnimation(in_, o, with_tip).Ok());
  int differing = 0;
  for (int y = 0; y < 718; ++y)
    for (int x = 0; x < 1024; ++x)
      if (with_tip.picture.Pixel(x, y) != without.picture.Pixel(x, y)) {
        ++differing;
        EXPECT_TRUE(gfx::Rect({113, 195, 124, 206}).Contains(x, y)) << x << "," << y;
      }
  EXPECT_GT(differing, 10);
}

TEST_F(Animation, FromAndToChooseThePositions) {
  AnimationOptions o = Options();
  o.from = 1;
  o.to = 3;
  ShownFrames frames;
  const Result<AnimationTotals> done = RenderAnimation(in_, o, frames);
  ASSERT_TRUE(done.Ok());
  EXPECT_EQ(done.Value().ticks, ReplayTicks(doc_, 1, 3, 3));
  EXPECT_EQ(done.Value().ticks, 1 + 4);
  EXPECT_TRUE(frames.first.SamePixels(SheetAt(doc_, 1, in_, 1024, 718)));
  EXPECT_TRUE(frames.shown.SamePixels(SheetAt(doc_, 3, in_, 1024, 718)));

  o.from = o.to = 2;
  ShownFrames still;
  const Result<AnimationTotals> none = RenderAnimation(in_, o, still);
  ASSERT_TRUE(none.Ok());
  EXPECT_EQ(none.Value().ticks, 0);
  EXPECT_EQ(none.Value().frames, 1);
  EXPECT_EQ(still.end, 40 + 2000);
}

TEST_F(Animation, RefusesWhatItCannotDraw) {
  auto refused = [&](AnimationOptions o) {
    ShownFrames frames;
    const Result<AnimationTotals> r = RenderAnimation(in_, o, frames);
    return r.Ok() ? std::string() : r.ErrorText();
  };
  AnimationOptions o = Options();
  o.samples_per_frame = 0;
  EXPECT_NE(refused(o), "");
  o = Options();
  o.from = 3;
  o.to = 2;
  EXPECT_NE(refused(o), "");
  o = Options();
  o.to = doc_.Count() + 1;
  EXPECT_NE(refused(o), "");
  o = Options(0, 10);
  EXPECT_NE(refused(o).find("cannot render a picture of 0 x 10"), std::string::npos);

  // Stopped by the progress; the sink's failure is the reason.
  int calls = 0;
  ShownFrames frames;
  const Result<AnimationTotals> stopped =
      RenderAnimation(in_, Options(), frames, [&](int done, int count) {
        EXPECT_EQ(count, 4);
        EXPECT_EQ(done, ++calls);
        return done < 2;
      });
  ASSERT_FALSE(stopped.Ok());
  EXPECT_EQ(stopped.ErrorText(), kAnimationCancelled);
  EXPECT_EQ(doc_.Position(), doc_.Count());
  ShownFrames full;
  full.fail_at_end = "disk full";
  const Result<AnimationTotals> failed = RenderAnimation(in_, Options(), full);
  ASSERT_FALSE(failed.Ok());
  EXPECT_EQ(failed.ErrorText(), "disk full");
}

TEST(AnimationPalette, KeepsFewColoursAndSpreadsMany) {
  Bitmap24 few(10, 10, gfx::kWhite);
  few.FillRect({0, 0, 5, 10}, gfx::Rgb(10, 20, 30));
  few.SetPixel(9, 9, gfx::Rgb(1, 2, 3));
  // The most used first.
  EXPECT_EQ(BuildPalette(few, 255),
            (std::vector<gfx::Color>{gfx::Rgb(10, 20, 30), gfx::kWhite, gfx::Rgb(1, 2, 3)}));

  // A grey ramp of 256 levels and a red one: 511 colours into 255, none far from an entry.
  Bitmap24 many(256, 2);
  for (int x = 0; x < 256; ++x) {
    many.SetPixel(x, 0, gfx::Rgb(std::uint8_t(x), std::uint8_t(x), std::uint8_t(x)));
    many.SetPixel(x, 1, gfx::Rgb(255, std::uint8_t(x), std::uint8_t(x)));
  }
  const std::vector<gfx::Color> palette = BuildPalette(many, 255);
  EXPECT_EQ(palette.size(), 255u);
  PaletteIndex index(palette);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 256; ++x) {
      const gfx::Color c = many.Pixel(x, y), p = palette[index.Of(c)];
      for (int k = 0; k < 3; ++k)
        EXPECT_LE(std::abs(int((c >> (8 * k)) & 0xFF) - int((p >> (8 * k)) & 0xFF)), 2);
    }
  EXPECT_EQ(PaletteIndex({gfx::kBlack, gfx::kWhite}).Of(gfx::Rgb(200, 200, 90)), 1);
}

// Decoded animation files, frame by frame as a viewer composes them.
using Decoded = test::DecodedAnimation;
using test::DecodeGifForTest;

Decoded DecodeWebP(const std::string& path) {
  Decoded d;
  std::ifstream f(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  WebPData data{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_RGBA;
  WebPAnimDecoder* dec = WebPAnimDecoderNew(&data, &options);
  EXPECT_NE(dec, nullptr);
  if (dec == nullptr) return d;
  WebPAnimInfo info;
  WebPAnimDecoderGetInfo(dec, &info);
  while (WebPAnimDecoderHasMoreFrames(dec)) {
    std::uint8_t* rgba = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(dec, &rgba, &timestamp)) break;
    Bitmap24 frame(int(info.canvas_width), int(info.canvas_height));
    for (int y = 0; y < frame.Height(); ++y)
      for (int x = 0; x < frame.Width(); ++x) {
        const std::uint8_t* p = rgba + 4 * (std::size_t(y) * info.canvas_width + x);
        frame.SetPixel(x, y, gfx::Rgb(p[0], p[1], p[2]));
      }
    d.frames.push_back(std::move(frame));
    d.delays.push_back(timestamp);
  }
  WebPAnimDecoderDelete(dec);
  return d;
}

// An MP4's video frames: how many, their times in milliseconds, the last one's picture and how
// long the stream lasts.
struct DecodedVideo {
  int frames = 0;
  std::vector<std::int64_t> times_ms;
  Bitmap24 last;
  std::int64_t duration_ms = 0;
  std::string codec;
};

DecodedVideo DecodeMp4(const std::string& path) {
  DecodedVideo v;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return v;
  avformat_find_stream_info(format, nullptr);
  const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) return v;
  AVStream* stream = format->streams[index];
  const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
  v.codec = avcodec_get_name(stream->codecpar->codec_id);
  AVCodecContext* codec = avcodec_alloc_context3(decoder);
  avcodec_parameters_to_context(codec, stream->codecpar);
  avcodec_open2(codec, decoder, nullptr);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto take = [&] {
    while (avcodec_receive_frame(codec, frame) >= 0) {
      ++v.frames;
      v.times_ms.push_back(
          av_rescale_q(frame->best_effort_timestamp, stream->time_base, {1, 1000}));
      v.last = Bitmap24(frame->width, frame->height);
      SwsContext* to_bgr = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format),
                                          frame->width, frame->height, AV_PIX_FMT_BGR24,
                                          SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
                                          nullptr, nullptr, nullptr);
      std::uint8_t* dst[1] = {v.last.Data()};
      const int stride[1] = {int(v.last.Stride())};
      sws_scale(to_bgr, frame->data, frame->linesize, 0, frame->height, dst, stride);
      sws_freeContext(to_bgr);
    }
  };
  while (av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == index) {
      avcodec_send_packet(codec, packet);
      take();
    }
    av_packet_unref(packet);
  }
  avcodec_send_packet(codec, nullptr);
  take();
  v.duration_ms = format->duration * 1000 / AV_TIME_BASE;
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&codec);
  avformat_close_input(&format);
  return v;
}

class AnimateCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zevo_anim_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
    WriteSheet(doc_);
    ASSERT_EQ(files::WritePlainStrokeFile(doc_, Path("sheet.stk"), 1, std::nullopt, std::nullopt),
              0);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  int Animate(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return tools::RunAnimateCommand(args, reader_, out_, err_);
  }
  // The sheet as the file reads, at a position.
  Bitmap24 Sheet(int position, int w = 1024, int h = 718, bool with_background = false) {
    ink::StrokeDocument doc(1024, 718);
    EXPECT_EQ(files::ReadStrokeFile(doc, Path("sheet.stk"), nullptr), 0);
    SheetInputs in;
    if (with_background) in.background = {doc.Background(), doc.BackgroundA(), doc.BackgroundB()};
    return SheetAt(doc, position, in, w, h);
  }

  std::filesystem::path dir_;
  ink::StrokeDocument doc_{1024, 718};
  std::ostringstream out_, err_;
  tools::StrokeFileReader reader_ = [](ink::StrokeDocument& d, const std::string& p) {
    return files::ReadStrokeFile(d, p, nullptr);
  };
};

TEST_F(AnimateCommand, WebPIsLosslessAndTimedByTheTicks) {
  ASSERT_EQ(Animate({Path("sheet.stk"), "-o", Path("a.WebP"), "--tip"}), 0) << err_.str();
  const Decoded d = DecodeWebP(Path("a.WebP"));
  ASSERT_EQ(d.frames.size(), 7u);
  EXPECT_TRUE(d.frames.front().SamePixels(Sheet(0)));
  EXPECT_TRUE(d.frames.back().SamePixels(Sheet(4)));
  EXPECT_EQ(d.delays.back(), TickTimeMs(13, 25) + 2000);

  ASSERT_EQ(Animate({Path("sheet.stk"), "-o", Path("b.webp"), "--size", "500x300", "--from", "1",
                     "--to", "3", "--samples-per-frame", "1", "--fps", "10", "--pause", "0.5"}),
            0)
      << err_.str();
  const Decoded part = DecodeWebP(Path("b.webp"));
  ASSERT_FALSE(part.frames.empty());
  EXPECT_TRUE(part.frames.front().SamePixels(Sheet(1, 500, 300)));
  EXPECT_TRUE(part.frames.back().SamePixels(Sheet(3, 500, 300)));
  // The picture's tick and the stroke's eight (begin, six samples, end), shown for one tick
  // more, then half a second.
  EXPECT_EQ(part.delays.back(), (1 + 8 + 1) * 100 + 500);
}

// The sheet's options are render's: a grid and a tracing model under the history, drawn on
// every frame as on the sheet picture; a model that cannot be read is named.
TEST_F(AnimateCommand, GridAndTracingModelAsRenderTakesThem) {
  ASSERT_EQ(Animate({Path("sheet.stk"), "-o", Path("g.webp"), "--grid", "100,120,30,40,6,4",
                     "--trace", Path("sheet.stk")}),
            0)
      << err_.str();
  const Decoded d = DecodeWebP(Path("g.webp"));
  ASSERT_FALSE(d.frames.empty());
  ink::StrokeDocument doc(1024, 718), model(1024, 718);
  ASSERT_EQ(files::ReadStrokeFile(doc, Path("sheet.stk"), nullptr), 0);
  ASSERT_EQ(files::ReadStrokeFile(model, Path("sheet.stk"), nullptr), 0);
  SheetInputs in;
  in.background = {doc.Background(), doc.BackgroundA(), doc.BackgroundB()};
  in.grid = {100, 120, 30, 40, 6, 4};
  in.grid_shown = true;
  in.trace_model = &model;
  in.trace_shown = true;
  EXPECT_TRUE(d.frames.front().SamePixels(SheetAt(doc, 0, in, 1024, 718)));
  EXPECT_TRUE(d.frames.back().SamePixels(SheetAt(doc, 4, in, 1024, 718)));
  EXPECT_FALSE(d.frames.back().SamePixels(Sheet(4, 1024, 718, true)));

  EXPECT_EQ(Animate({Path("sheet.stk"), "-o", Path("h.webp"), "--trace", Path("none.stk")}), 1);
  EXPECT_NE(err_.str().find("none.stk"), std::string::npos) << err_.str();
  EXPECT_EQ(Animate({Path("sheet.stk"), "-o", Path("h.webp"), "--grid", "1,2"}), 64);
  EXPECT_EQ(Animate({Path("sheet.stk"), "--help"}), 0);
  EXPECT_NE(out_.str().find("--trace MODEL"), std::string::npos);
}

TEST_F(AnimateCommand, WebPStreamShowsWhatLibwebpsAnimationEncoderShows) {
  // Odd sizes and changes at odd places: the frames widened to even offsets.
  SheetInputs in;
  in.live = &doc_;
  AnimationOptions o;
  o.width = 513;
  o.height = 301;
  o.to = doc_.Count();
  o.tip = true;
  std::vector<std::vector<Bitmap24>> decoded;
  for (bool whole : {false, true}) {
    const std::string path = Path(whole ? "whole.webp" : "stream.webp");
    AnimationFileOptions fo{o.width, o.height, 25, nullptr};
    fo.webp_whole_frames = whole;
    auto sink = OpenAnimationFile(path, AnimationFormat::WebP, fo);
    ASSERT_TRUE(sink.Ok()) << sink.ErrorText();
    ASSERT_TRUE(RenderAnimation(in, o, *sink.Value()).Ok());
    sink.Value().reset();
    decoded.push_back(DecodeWebP(path).frames);
  }
  ASSERT_EQ(decoded[0].size(), decoded[1].size());
  for (std::size_t i = 0; i < decoded[0].size(); ++i)
    EXPECT_TRUE(decoded[0][i].SamePixels(decoded[1][i])) << "frame " << i;
  EXPECT_TRUE(decoded[0].back().SamePixels(SheetAt(doc_, doc_.Count(), in, 513, 301)));
}

TEST_F(AnimateCommand, Mp4IsH264NearTheSheetPicture) {
  ASSERT_EQ(Animate({Path("sheet.stk"), "-o", Path("a.mp4"), "--size", "512x360", "--tip"}), 0)
      << err_.str();
  const DecodedVideo v = DecodeMp4(Path("a.mp4"));
  EXPECT_EQ(v.codec, "h264");
  // The animation's frames at their times, then the last again where the pause ends.
  SheetInputs in;
  in.live = &doc_;
  AnimationOptions o;
  o.width = 512;
  o.height = 360;
  o.to = doc_.Count();
  o.tip = true;
  ShownFrames frames;
  ASSERT_TRUE(RenderAnimation(in, o, frames).Ok());
  std::vector<std::int64_t> times = frames.times;
  times.push_back(frames.end - 40);
  EXPECT_EQ(v.times_ms, times);
  EXPECT_EQ(v.duration_ms, frames.end);
  const Bitmap24 sheet = Sheet(4, 512, 360);
  ASSERT_EQ(v.last.Width(), 512);
  long long error = 0;
  for (int y = 0; y < 360; ++y)
    for (int x = 0; x < 512; ++x) {
      const int e =
          std::abs(int(gfx::GreenOf(v.last.Pixel(x, y))) - int(gfx::GreenOf(sheet.Pixel(x, y))));
      error += e;
    }
  // Lossy: near on average, and the ink still where it is.
  EXPECT_LT(double(error) / (512 * 360), 1.0);
  EXPECT_LT(gfx::GreenOf(v.last.Pixel(60, 100)), 60);
  EXPECT_EQ(v.last.Pixel(30, 30), gfx::kWhite);  // the paper stays white
}

TEST_F(AnimateCommand, GifFramesAreTheChangedRectanglesInThePalette) {
  ASSERT_EQ(Animate({Path("sheet.stk"), "-o", Path("a.gif")}), 0) << err_.str();
  const Decoded d = DecodeGifForTest(Path("a.gif"));
  ASSERT_EQ(d.frames.size(), 7u);
  // Few enough colours for the palette to hold them all: exact.
  EXPECT_TRUE(d.frames.front().SamePixels(Sheet(0)));
  EXPECT_TRUE(d.frames.back().SamePixels(Sheet(4)));
  int total = 0;
  for (int delay : d.delays) total += delay;
  EXPECT_EQ(total, (TickTimeMs(13, 25) + 2000) / 10);
  EXPECT_EQ(d.delays.front(), 8);  // the blank page: the first stroke's begin tick and one more
}

TEST_F(AnimateCommand, GifOfManyColoursKeepsEachPixelNearItsOwn) {
  // A background of more colours than a GIF holds.
  Bitmap24 photo(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      photo.SetPixel(x, y, gfx::Rgb(std::uint8_t(4 * x), std::uint8_t(4 * y), 128));
  doc_.SetBackground(&photo, 1, 0);
  ASSERT_EQ(files::WritePlainStrokeFile(doc_, Path("sheet.stk"), 1, std::nullopt, std::nullopt), 0);
  ASSERT_EQ(Animate({Path("sheet.stk"), "-o", Path("photo.gif"), "--size", "400x300"}), 0)
      << err_.str();
  const Decoded d = DecodeGifForTest(Path("photo.gif"));
  ASSERT_FALSE(d.frames.empty());
  const Bitmap24 sheet = Sheet(4, 400, 300, true);
  const Bitmap24& last = d.frames.back();
  // Every pixel is the palette entry nearest its true colour.
  PaletteIndex nearest(std::vector<gfx::Color>(d.palette.begin(), d.palette.begin() + kGifColors));
  int mismatches = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x)
      mismatches += last.Pixel(x, y) != d.palette[nearest.Of(sheet.Pixel(x, y))];
  EXPECT_EQ(mismatches, 0);
}

TEST_F(AnimateCommand, RefusesWrongArgumentsAndSaysWhy) {
  const std::string stk = Path("sheet.stk"), gif = Path("x.gif");
  const std::vector<std::pair<std::vector<std::string>, std::string>> usage = {
      {{stk}, "no output file given"},
      {{"-o", gif}, "no stroke file given"},
      {{stk, "-o", Path("x.png")}, "it writes .gif"},
      {{stk, "-o", gif, "--fps", "0"}, "--fps must be from 1 to 100"},
      {{stk, "-o", gif, "--samples-per-frame", "0"}, "--samples-per-frame must be positive"},
      {{stk, "-o", gif, "--pause", "-1"}, "--pause must be from 0 to 3600 seconds"},
      {{stk, "-o", gif, "--pause", "x"}, "--pause must be a number of seconds"},
      {{stk, "-o", gif, "--from", "3", "--to", "2"}, "--from 3 comes after --to 2"},
      {{stk, "-o", gif, "--to", "9"}, "--to must be at most 4"},
      {{stk, "-o", gif, "--bogus"}, "unknown option --bogus"},
      {{stk, "-o", Path("x.mp4"), "--size", "101x100"}, "even width and height"},
      {{stk, "-o", gif, "--size", "70000x10"}, "a GIF is at most 65535"},
  };
  for (const auto& [args, message] : usage) {
    EXPECT_EQ(Animate(args), tools::kExitUsage) << message;
    EXPECT_NE(err_.str().find(message), std::string::npos) << err_.str();
  }
  EXPECT_EQ(Animate({Path("missing.stk"), "-o", gif}), 1);
  EXPECT_NE(err_.str().find("cannot open it"), std::string::npos) << err_.str();
  EXPECT_EQ(Animate({stk, "-o", Path("no/such/folder/x.webp")}), 1);
  EXPECT_NE(err_.str().find("cannot open it"), std::string::npos) << err_.str();
  EXPECT_FALSE(std::filesystem::exists(gif));
  EXPECT_EQ(Animate({"--help"}), 0);
  EXPECT_NE(out_.str().find("--samples-per-frame"), std::string::npos);
}

}  // namespace
}  // namespace zevo::output
