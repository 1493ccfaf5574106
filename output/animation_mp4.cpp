#include "output/animation_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <utility>

namespace zevo::output {

namespace {

using OpenResult = Result<std::unique_ptr<AnimationSink>>;

std::string AvText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// H.264 in an MP4 file, timed in milliseconds: a video frame for each frame given (a frame
// that lasts several ticks is one video frame), and the last one again where the pause ends.
class Mp4Sink final : public AnimationSink {
 public:
  Mp4Sink() = default;
  ~Mp4Sink() override {
    if (format_ != nullptr && header_written_ && !ended_) av_write_trailer(format_);
    if (format_ != nullptr && format_->pb != nullptr) avio_closep(&format_->pb);
    avformat_free_context(format_);
    avcodec_free_context(&codec_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    sws_freeContext(scale_);
  }

  // Empty text on success.
  std::string Open(const std::string& path, const AnimationFileOptions& o) {
    // FFmpeg's notes on the encoder's start go to the standard error otherwise.
    av_log_set_level(AV_LOG_ERROR);
    const AVCodec* h264 = avcodec_find_encoder(AV_CODEC_ID_H264);
    if (h264 == nullptr) return "cannot write the MP4: FFmpeg has no H.264 encoder here";
    int code = avformat_alloc_output_context2(&format_, nullptr, "mp4", path.c_str());
    if (code < 0 || format_ == nullptr) return "cannot write the MP4: " + AvText(code);
    AVStream* stream = avformat_new_stream(format_, nullptr);
    codec_ = avcodec_alloc_context3(h264);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (stream == nullptr || codec_ == nullptr || frame_ == nullptr || packet_ == nullptr)
      return "cannot write the MP4: not enough memory";
    codec_->width = o.width;
    codec_->height = o.height;
    codec_->time_base = {1, 1000};
    codec_->framerate = {o.fps, 1};
    codec_->pix_fmt = AV_PIX_FMT_YUV420P;
    codec_->gop_size = 10 * o.fps;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // Sharp ink on flat paper: a high quality costs little.
    av_opt_set(codec_->priv_data, "preset", "veryfast", 0);
    av_opt_set(codec_->priv_data, "crf", "18", 0);
    if ((code = avcodec_open2(codec_, h264, nullptr)) < 0)
      return "cannot write the MP4: cannot start the H.264 encoder: " + AvText(code);
    if ((code = avcodec_parameters_from_context(stream->codecpar, codec_)) < 0)
      return "cannot write the MP4: " + AvText(code);
    stream->time_base = codec_->time_base;
    stream_ = stream;
    frame_->format = codec_->pix_fmt;
    frame_->width = o.width;
    frame_->height = o.height;
    if ((code = av_frame_get_buffer(frame_, 0)) < 0) return "cannot write the MP4: " + AvText(code);
    scale_ =
        sws_getContext(o.width, o.height, AV_PIX_FMT_BGR24, o.width, o.height, AV_PIX_FMT_YUV420P,
                       SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (scale_ == nullptr) return "cannot write the MP4: cannot convert the frames";
    if ((code = avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0)
      return "cannot open it: " + AvText(code);
    if ((code = avformat_write_header(format_, nullptr)) < 0)
      return "cannot write the MP4: " + AvText(code);
    header_written_ = true;
    tick_ms_ = std::max<std::int64_t>(1000 / o.fps, 1);
    return {};
  }

  std::string Frame(const gfx::Bitmap24& picture, const gfx::Rect&, std::int64_t at_ms) override {
    int code = av_frame_make_writable(frame_);
    if (code < 0) return "cannot write the MP4: " + AvText(code);
    const std::uint8_t* src[1] = {picture.Data()};
    const int src_stride[1] = {int(picture.Stride())};
    sws_scale(scale_, src, src_stride, 0, picture.Height(), frame_->data, frame_->linesize);
    return Send(at_ms);
  }

  std::string End(std::int64_t end_ms) override {
    // The last picture once more, so that it is held until the end.
    const std::int64_t hold = std::max(end_ms - tick_ms_, last_pts_ + 1);
    if (last_pts_ >= 0 && hold > last_pts_) {
      if (std::string why = Send(hold); !why.empty()) return why;
    }
    if (std::string why = Drain(nullptr); !why.empty()) return why;
    ended_ = true;
    const int code = av_write_trailer(format_);
    if (code < 0) return "cannot write the MP4: " + AvText(code);
    if ((format_->pb != nullptr && format_->pb->error < 0) || avio_closep(&format_->pb) < 0)
      return "cannot write the MP4: the file could not be written";
    return {};
  }

 private:
  std::string Send(std::int64_t pts) {
    if (pts <= last_pts_) pts = last_pts_ + 1;
    frame_->pts = pts;
    last_pts_ = pts;
    return Drain(frame_);
  }

  // Gives the encoder a frame (nullptr: the end) and writes the packets it has ready.
  std::string Drain(AVFrame* frame) {
    int code = avcodec_send_frame(codec_, frame);
    if (code < 0) return "cannot write the MP4: " + AvText(code);
    while ((code = avcodec_receive_packet(codec_, packet_)) >= 0) {
      // Every video frame lasts a tick at least: the last one too, so that it is shown.
      if (packet_->duration <= 0) packet_->duration = tick_ms_;
      av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
      packet_->stream_index = stream_->index;
      code = av_interleaved_write_frame(format_, packet_);
      av_packet_unref(packet_);
      if (code < 0) return "cannot write the MP4: " + AvText(code);
    }
    if (code != AVERROR(EAGAIN) && code != AVERROR_EOF)
      return "cannot write the MP4: " + AvText(code);
    return {};
  }

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVStream* stream_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scale_ = nullptr;
  bool header_written_ = false;
  bool ended_ = false;
  std::int64_t last_pts_ = -1;
  std::int64_t tick_ms_ = 40;
};

}  // namespace

Result<std::unique_ptr<AnimationSink>> OpenMp4Animation(const std::string& path,
                                                        const AnimationFileOptions& options) {
  if (options.width % 2 != 0 || options.height % 2 != 0)
    return OpenResult::Error("an MP4 needs an even width and height");
  auto sink = std::make_unique<Mp4Sink>();
  if (std::string why = sink->Open(path, options); !why.empty()) return OpenResult::Error(why);
  return std::unique_ptr<AnimationSink>(std::move(sink));
}

}  // namespace zevo::output
