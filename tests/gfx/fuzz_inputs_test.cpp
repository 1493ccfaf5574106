#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"

namespace zevo::gfx {
namespace {

// Inputs that fuzzing found once: each must give a picture or an error, and nothing else.
void LoadAll(const char* folder, Result<Bitmap24> (*load)(const std::string&)) {
  const std::filesystem::path dir = std::filesystem::path(ZEVO_TEST_DATA_DIR) / "fuzz" / folder;
  if (!std::filesystem::exists(dir)) return;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    SCOPED_TRACE(entry.path().string());
    Result<Bitmap24> r = load(entry.path().string());
    if (r) {
      EXPECT_FALSE(r.Value().Empty());
    } else {
      EXPECT_FALSE(r.ErrorText().empty());
    }
  }
}

TEST(FuzzFindings, BmpInputsLoadOrAreRefused) {
  LoadAll("bmp", LoadBmpFile);
}
TEST(FuzzFindings, JpegInputsLoadOrAreRefused) {
  LoadAll("jpeg", LoadJpegFile);
}

}  // namespace
}  // namespace zevo::gfx
