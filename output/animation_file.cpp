#include "output/animation_file.h"

#include <gif_lib.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "output/animation_palette.h"
#include "output/picture_file.h"

namespace zevo::output {

namespace {

using OpenResult = Result<std::unique_ptr<AnimationSink>>;

std::string SystemReason() {
  std::string why = std::strerror(errno);
  if (!why.empty() && why[0] >= 'A' && why[0] <= 'Z') why[0] = char(why[0] - 'A' + 'a');
  return why;
}

// giflib's output function: its user data is the file.
int WriteToFile(GifFileType* gif, const GifByteType* bytes, int n) {
  return int(std::fwrite(bytes, 1, std::size_t(n), static_cast<std::FILE*>(gif->UserData)));
}

// GIF: a global palette, each frame the changed rectangle drawn over the one before (disposal
// "do not dispose"), pixels it does not change transparent. A frame's delay is known when the
// next one comes, so one frame waits, already mapped to indices.
class GifSink final : public AnimationSink {
 public:
  static constexpr int kTransparent = kGifColors;

  GifSink(std::FILE* file, GifFileType* gif, PaletteIndex palette, int width, int height)
      : file_(file),
        gif_(gif),
        palette_(std::move(palette)),
        width_(width),
        height_(height),
        shown_(std::size_t(width) * std::size_t(height), 0) {}
  ~GifSink() override {
    if (gif_ != nullptr) EGifCloseFile(gif_, nullptr);
    if (file_ != nullptr) std::fclose(file_);
  }

  // The screen, the palette and the repeat for ever; empty text on success.
  std::string Begin() {
    std::vector<GifColorType> colors(256, GifColorType{255, 255, 255});
    for (std::size_t i = 0; i < palette_.Colors().size(); ++i) {
      const gfx::Color c = palette_.Colors()[i];
      colors[i] = {gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)};
    }
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    if (map == nullptr) return "not enough memory for the palette";
    const int put = EGifPutScreenDesc(gif_, width_, height_, 8, 0, map);
    GifFreeMapObject(map);
    if (put == GIF_ERROR) return Failed();
    EGifSetGifVersion(gif_, true);
    static const GifByteType kNetscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kForever[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, sizeof kNetscape, kNetscape) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, sizeof kForever, kForever) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif_) == GIF_ERROR)
      return Failed();
    return {};
  }

  std::string Frame(const gfx::Bitmap24& picture, const gfx::Rect& changed,
                    std::int64_t at_ms) override {
    if (std::string why = Flush(at_ms); !why.empty()) return why;
    const gfx::Rect r = changed.Intersected({0, 0, width_, height_});
    if (r.Empty()) return {};
    pending_rect_ = r;
    pending_at_ = at_ms;
    pending_transparent_ = false;
    pending_.resize(std::size_t(r.Width()) * std::size_t(r.Height()));
    std::uint8_t* out = pending_.data();
    for (int y = r.top; y < r.bottom; ++y) {
      const std::uint8_t* p = picture.Row(y) + 3 * r.left;
      std::uint8_t* shown = shown_.data() + std::size_t(y) * std::size_t(width_) + r.left;
      for (int x = r.left; x < r.right; ++x, p += 3, ++shown, ++out) {
        const std::uint8_t i = palette_.Of(gfx::Rgb(p[2], p[1], p[0]));
        if (started_ && i == *shown) {
          *out = kTransparent;
          pending_transparent_ = true;
        } else {
          *out = i;
          *shown = i;
        }
      }
    }
    started_ = true;
    has_pending_ = true;
    return {};
  }

  std::string End(std::int64_t end_ms) override {
    if (std::string why = Flush(end_ms); !why.empty()) return why;
    GifFileType* gif = std::exchange(gif_, nullptr);
    int error = 0;
    if (EGifCloseFile(gif, &error) == GIF_ERROR) return Text(error);
    if (std::fclose(std::exchange(file_, nullptr)) != 0)
      return "cannot write the GIF: " + SystemReason();
    return {};
  }

 private:
  // Writes the waiting frame, shown until until_ms.
  std::string Flush(std::int64_t until_ms) {
    if (!has_pending_) return {};
    has_pending_ = false;
    // Hundredths of a second, rounded where the frame starts and ends so that the delays add
    // up to the times.
    const std::int64_t delay = (until_ms + 5) / 10 - (pending_at_ + 5) / 10;
    GraphicsControlBlock gcb;
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.UserInputFlag = false;
    gcb.DelayTime = int(std::clamp<std::int64_t>(delay, 0, 65535));
    gcb.TransparentColor = pending_transparent_ ? kTransparent : NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    const std::size_t n = EGifGCBToExtension(&gcb, ext);
    const gfx::Rect& r = pending_rect_;
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, int(n), ext) == GIF_ERROR ||
        EGifPutImageDesc(gif_, r.left, r.top, r.Width(), r.Height(), false, nullptr) == GIF_ERROR)
      return Failed();
    for (int y = 0; y < r.Height(); ++y)
      if (EGifPutLine(gif_, pending_.data() + std::size_t(y) * std::size_t(r.Width()), r.Width()) ==
          GIF_ERROR)
        return Failed();
    return {};
  }

  std::string Failed() const { return Text(gif_->Error); }
  static std::string Text(int error) {
    const char* text = GifErrorString(error);
    return std::string("cannot write the GIF: ") + (text != nullptr ? text : "unknown error");
  }

  std::FILE* file_;
  GifFileType* gif_;
  PaletteIndex palette_;
  int width_, height_;
  // The palette index each pixel shows after the frames so far.
  std::vector<std::uint8_t> shown_;
  bool started_ = false;
  bool has_pending_ = false;
  bool pending_transparent_ = false;
  gfx::Rect pending_rect_;
  std::int64_t pending_at_ = 0;
  std::vector<std::uint8_t> pending_;
};

// WebP written as it goes: each frame only its changed rectangle (widened to even offsets, as
// the container asks), encoded lossless on its own and replacing those pixels (no blending, no
// disposal), in an ANMF chunk; the RIFF size is put in at the end. One frame waits for its
// duration, already encoded.
class WebPStreamSink final : public AnimationSink {
 public:
  WebPStreamSink(std::FILE* file, int width, int height, const WebPConfig& config)
      : file_(file), width_(width), height_(height), config_(config) {}
  ~WebPStreamSink() override {
    if (file_ != nullptr) std::fclose(file_);
  }

  // The file header, the canvas and the repeat for ever; empty text on success.
  std::string Begin() {
    std::string head = "RIFF";
    Put32(head, 0);  // the size, put in at the end
    head += "WEBPVP8X";
    Put32(head, 10);
    head += char(0x02);  // an animation
    Put24(head, 0);
    Put24(head, std::uint32_t(width_ - 1));
    Put24(head, std::uint32_t(height_ - 1));
    head += "ANIM";
    Put32(head, 6);
    Put32(head, 0xFFFFFFFFu);  // white, opaque
    head += '\0';
    head += '\0';  // repeat for ever
    return Write(head);
  }

  std::string Frame(const gfx::Bitmap24& picture, const gfx::Rect& changed,
                    std::int64_t at_ms) override {
    if (std::string why = Flush(at_ms); !why.empty()) return why;
    gfx::Rect r = changed.Intersected({0, 0, width_, height_});
    if (r.Empty()) return {};
    r.left &= ~1;
    r.top &= ~1;
    WebPPicture pic;
    if (!WebPPictureInit(&pic)) return "cannot write the WebP: libwebp version mismatch";
    pic.use_argb = 1;
    pic.width = r.Width();
    pic.height = r.Height();
    WebPMemoryWriter memory;
    WebPMemoryWriterInit(&memory);
    pic.writer = WebPMemoryWrite;
    pic.custom_ptr = &memory;
    const std::uint8_t* first = picture.Row(r.top) + 3 * r.left;
    const bool imported = WebPPictureImportBGR(&pic, first, int(picture.Stride())) != 0;
    const bool encoded = imported && WebPEncode(&config_, &pic) != 0;
    const int error = pic.error_code;
    WebPPictureFree(&pic);
    // The encoder writes a whole file: RIFF, size, WEBP, then the VP8L chunk the frame holds.
    const bool simple = encoded && memory.size > 20 && std::memcmp(memory.mem + 12, "VP8L", 4) == 0;
    if (simple) pending_.assign(memory.mem + 12, memory.mem + memory.size);
    WebPMemoryWriterClear(&memory);
    if (!imported) return "cannot write the WebP: not enough memory for a frame";
    if (!encoded) return "cannot write the WebP: encoding error " + std::to_string(error);
    if (!simple) return "cannot write the WebP: the encoder wrote an unexpected layout";
    pending_rect_ = r;
    pending_at_ = at_ms;
    has_pending_ = true;
    return {};
  }

  std::string End(std::int64_t end_ms) override {
    if (std::string why = Flush(end_ms); !why.empty()) return why;
    std::string size;
    Put32(size, std::uint32_t(written_ - 8));
    if (std::fseek(file_, 4, SEEK_SET) != 0 || std::fwrite(size.data(), 1, 4, file_) != 4)
      return "cannot write the WebP: " + SystemReason();
    if (std::fclose(std::exchange(file_, nullptr)) != 0)
      return "cannot write the WebP: " + SystemReason();
    return {};
  }

 private:
  static void Put24(std::string& out, std::uint32_t v) {
    for (int k = 0; k < 3; ++k) out += char((v >> (8 * k)) & 0xFF);
  }
  static void Put32(std::string& out, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) out += char((v >> (8 * k)) & 0xFF);
  }

  std::string Write(const std::string& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
      return "cannot write the WebP: " + SystemReason();
    written_ += bytes.size();
    return {};
  }

  // Writes the waiting frame, shown until until_ms.
  std::string Flush(std::int64_t until_ms) {
    if (!has_pending_) return {};
    has_pending_ = false;
    // A frame lasts at most 2^24 - 1 ms; a longer pause is cut to that.
    const std::int64_t duration = std::clamp<std::int64_t>(until_ms - pending_at_, 0, 0xFFFFFF);
    const std::size_t data = pending_.size() + (pending_.size() & 1);
    if (data + 16 > 0xFFFFFFF0u || written_ + data + 24 > 0xFFFFFFF0u)
      return "cannot write the WebP: the animation is larger than a WebP file can be";
    std::string head = "ANMF";
    Put32(head, std::uint32_t(16 + data));
    const gfx::Rect& r = pending_rect_;
    Put24(head, std::uint32_t(r.left / 2));
    Put24(head, std::uint32_t(r.top / 2));
    Put24(head, std::uint32_t(r.Width() - 1));
    Put24(head, std::uint32_t(r.Height() - 1));
    Put24(head, std::uint32_t(duration));
    head += char(0x02);  // do not blend, do not dispose
    if (std::string why = Write(head); !why.empty()) return why;
    if (pending_.size() & 1) pending_.push_back(0);
    return Write(std::string(pending_.begin(), pending_.end()));
  }

  std::FILE* file_;
  int width_, height_;
  WebPConfig config_;
  std::uint64_t written_ = 0;
  bool has_pending_ = false;
  gfx::Rect pending_rect_;
  std::int64_t pending_at_ = 0;
  std::vector<std::uint8_t> pending_;
};

// WebP through libwebp's animation encoder: lossless frames given whole, of which it keeps what
// changed; the assembled file is written at the end into the file opened at the start. It
// compares whole pages every frame, some thousand times slower than the stream above, and is
// kept as its yardstick.
class WebPSink final : public AnimationSink {
 public:
  WebPSink(std::FILE* file, WebPAnimEncoder* encoder, const WebPConfig& config)
      : file_(file), encoder_(encoder), config_(config) {}
  ~WebPSink() override {
    if (encoder_ != nullptr) WebPAnimEncoderDelete(encoder_);
    if (file_ != nullptr) std::fclose(file_);
  }

  std::string Frame(const gfx::Bitmap24& picture, const gfx::Rect&, std::int64_t at_ms) override {
    WebPPicture pic;
    if (!WebPPictureInit(&pic)) return "cannot write the WebP: libwebp version mismatch";
    pic.use_argb = 1;
    pic.width = picture.Width();
    pic.height = picture.Height();
    const bool imported = WebPPictureImportBGR(&pic, picture.Data(), int(picture.Stride())) != 0;
    const bool added = imported && WebPAnimEncoderAdd(encoder_, &pic, int(at_ms), &config_) != 0;
    WebPPictureFree(&pic);
    if (!imported) return "cannot write the WebP: not enough memory for a frame";
    if (!added) return Failed();
    return {};
  }

  std::string End(std::int64_t end_ms) override {
    if (!WebPAnimEncoderAdd(encoder_, nullptr, int(end_ms), nullptr)) return Failed();
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAssemble(encoder_, &data)) return Failed();
    const bool written = std::fwrite(data.bytes, 1, data.size, file_) == data.size;
    WebPDataClear(&data);
    std::FILE* f = std::exchange(file_, nullptr);
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) return "cannot write the WebP: " + SystemReason();
    return {};
  }

 private:
  std::string Failed() const {
    const char* text = WebPAnimEncoderGetError(encoder_);
    return std::string("cannot write the WebP: ") +
           (text != nullptr && *text != 0 ? text : "the encoder failed");
  }

  std::FILE* file_;
  WebPAnimEncoder* encoder_;
  WebPConfig config_;
};

OpenResult OpenGif(const std::string& path, const AnimationFileOptions& o) {
  if (o.width > 65535 || o.height > 65535)
    return OpenResult::Error("a GIF is at most 65535 pixels on a side");
  PaletteIndex palette(o.palette_source != nullptr ? BuildPalette(*o.palette_source, kGifColors)
                                                   : std::vector<gfx::Color>{gfx::kWhite});
  if (palette.Colors().empty()) palette = PaletteIndex({gfx::kWhite});
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return OpenResult::Error("cannot open it: " + SystemReason());
  int error = 0;
  GifFileType* gif = EGifOpen(f, WriteToFile, &error);
  if (gif == nullptr) {
    std::fclose(f);
    return OpenResult::Error(std::string("cannot write the GIF: ") + GifErrorString(error));
  }
  auto sink = std::make_unique<GifSink>(f, gif, std::move(palette), o.width, o.height);
  if (std::string why = sink->Begin(); !why.empty()) return OpenResult::Error(why);
  return std::unique_ptr<AnimationSink>(std::move(sink));
}

OpenResult OpenWebP(const std::string& path, const AnimationFileOptions& o) {
  if (o.width > WEBP_MAX_DIMENSION || o.height > WEBP_MAX_DIMENSION)
    return OpenResult::Error("a WebP is at most " + std::to_string(WEBP_MAX_DIMENSION) +
                             " pixels on a side");
  WebPConfig config;
  if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, 1))
    return OpenResult::Error("cannot write the WebP: libwebp version mismatch");
  WebPAnimEncoderOptions eo;
  if (!WebPAnimEncoderOptionsInit(&eo))
    return OpenResult::Error("cannot write the WebP: libwebp version mismatch");
  eo.anim_params.loop_count = 0;
  eo.anim_params.bgcolor = 0xFFFFFFFF;
  // A key frame is the whole page encoded again; a replay is watched from its start, so only
  // the first frame is one.
  eo.kmin = 0;
  eo.kmax = 0;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return OpenResult::Error("cannot open it: " + SystemReason());
  if (!o.webp_whole_frames) {
    auto sink = std::make_unique<WebPStreamSink>(f, o.width, o.height, config);
    if (std::string why = sink->Begin(); !why.empty()) return OpenResult::Error(why);
    return std::unique_ptr<AnimationSink>(std::move(sink));
  }
  WebPAnimEncoder* encoder = WebPAnimEncoderNew(o.width, o.height, &eo);
  if (encoder == nullptr) {
    std::fclose(f);
    return OpenResult::Error("cannot write the WebP: not enough memory for the encoder");
  }
  return std::unique_ptr<AnimationSink>(std::make_unique<WebPSink>(f, encoder, config));
}

}  // namespace

std::optional<AnimationFormat> AnimationFormatOf(const std::string& path) {
  const std::string ext = UpperExtension(path);
  if (ext == ".GIF") return AnimationFormat::Gif;
  if (ext == ".WEBP") return AnimationFormat::WebP;
  if (ext == ".MP4") return AnimationFormat::Mp4;
  return std::nullopt;
}

Result<std::unique_ptr<AnimationSink>> OpenAnimationFile(const std::string& path,
                                                         AnimationFormat format,
                                                         const AnimationFileOptions& options) {
  if (options.width <= 0 || options.height <= 0 || options.fps <= 0)
    return OpenResult::Error("an animation needs a size and a frame rate");
  switch (format) {
    case AnimationFormat::Gif:
      return OpenGif(path, options);
    case AnimationFormat::WebP:
      return OpenWebP(path, options);
    case AnimationFormat::Mp4:
      return OpenMp4Animation(path, options);
  }
  return OpenResult::Error("unknown animation format");
}

}  // namespace zevo::output
