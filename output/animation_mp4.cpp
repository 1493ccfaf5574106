#include "output/animation_file.h"

namespace zevo::output {

Result<std::unique_ptr<AnimationSink>> OpenMp4Animation(const std::string&,
                                                        const AnimationFileOptions&) {
  return Result<std::unique_ptr<AnimationSink>>::Error("MP4 is not written yet");
}

}  // namespace zevo::output
