#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/result.h"
#include "gfx/bitmap24.h"
#include "output/animation.h"

namespace zevo::output {

enum class AnimationFormat { Gif, WebP, Mp4 };

// The format an output name asks for by its extension (.gif, .webp, .mp4, in any case).
std::optional<AnimationFormat> AnimationFormatOf(const std::string& path);

// What an animation file is written with.
struct AnimationFileOptions {
  int width = 0;
  int height = 0;
  int fps = 25;
  // GIF: the palette is made of this picture's colours (the last frame: the sheet picture),
  // at most kGifColors of them; one more index is the transparency of unchanged pixels.
  const gfx::Bitmap24* palette_source = nullptr;
  // WebP: give whole frames to libwebp's animation encoder and write the file at the end,
  // instead of writing each frame's changed rectangle as it comes (the same pictures; for
  // comparison).
  bool webp_whole_frames = false;
};
inline constexpr int kGifColors = 255;

// Opens path for writing an animation; frames are encoded as they come. GIF: each frame after
// the first only the changed rectangle, its unchanged pixels transparent, every pixel the
// nearest palette colour; it repeats for ever. WebP: lossless, each frame only the changed
// rectangle (from an even pixel), written as it comes; it repeats for ever. MP4: H.264 in
// YUV 4:2:0, a video frame for each frame, the last again where the pause ends. Refused with
// the reason when the file cannot be opened, or the size does not suit the format (a GIF side
// over 65535, a WebP side over 16383, an MP4 side odd).
Result<std::unique_ptr<AnimationSink>> OpenAnimationFile(const std::string& path,
                                                         AnimationFormat format,
                                                         const AnimationFileOptions& options);

// The MP4 writer alone (OpenAnimationFile's Mp4), in a file of its own for FFmpeg's libraries.
Result<std::unique_ptr<AnimationSink>> OpenMp4Animation(const std::string& path,
                                                        const AnimationFileOptions& options);

}  // namespace zevo::output
