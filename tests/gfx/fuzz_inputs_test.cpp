// The inputs of the picture fuzz targets (tests/data/fuzz/fuzz_bmp and fuzz_jpeg), the seeds
// and what fuzzing found: each must give a picture or an error with its reason, nothing else.
#include <gtest/gtest.h>

#include <cstddef>

#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "tests/support/fuzz_inputs.h"

namespace zevo::gfx {
namespace {

void ExpectPictureOrReason(const Result<Bitmap24>& r) {
  if (r) {
    EXPECT_FALSE(r.Value().Empty());
  } else {
    EXPECT_FALSE(r.ErrorText().empty());
  }
}

TEST(FuzzInputs, BmpInputsLoadOrAreRefused) {
  int pictures = 0;
  for (const test::FuzzInput& input : test::FuzzInputs("fuzz_bmp")) {
    SCOPED_TRACE(input.name);
    const Result<Bitmap24> picture = DecodeBmp(input.bytes);
    ExpectPictureOrReason(picture);
    if (!picture || picture.Value().Empty()) continue;
    ++pictures;
    // What our own writer makes of it reads back the same; like the target, up to 1 M pixels.
    const Bitmap24& b = picture.Value();
    if (std::size_t(b.Width()) * std::size_t(b.Height()) > (std::size_t(1) << 20)) continue;
    const Result<Bitmap24> again = DecodeBmp(EncodeBmp(b));
    ASSERT_TRUE(again) << again.ErrorText();
    EXPECT_TRUE(again.Value().SamePixels(b));
  }
  EXPECT_GT(pictures, 0);
}

TEST(FuzzInputs, JpegInputsLoadOrAreRefused) {
  int pictures = 0;
  for (const test::FuzzInput& input : test::FuzzInputs("fuzz_jpeg")) {
    SCOPED_TRACE(input.name);
    const Result<Bitmap24> picture = DecodeJpeg(input.bytes);
    ExpectPictureOrReason(picture);
    if (picture) ++pictures;
  }
  EXPECT_GT(pictures, 0);
}

}  // namespace
}  // namespace zevo::gfx
