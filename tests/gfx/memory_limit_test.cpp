// Pictures that declare gigabytes, loaded in a process that has only the per-picture limit and
// a margin: refused as too large instead of running out of memory.
#include <gtest/gtest.h>

#include <cstdio>

#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "gfx/picture_limits.h"
#include "tests/support/address_space_limit.h"

namespace zevo::gfx {
namespace {

constexpr std::uint64_t kMiB = std::uint64_t(1) << 20;

TEST(MemoryLimit, PicturesThatDeclareGigabytesAreRefusedCheaply) {
  if (!test_support::kAddressSpaceLimitWorks) {
    GTEST_SKIP() << "an address space limit cannot hold a sanitizer's shadow memory";
  }
  for (const char* name : {"bmp/bad_too_large_rle.bmp", "jpeg/bad_too_large_padded.jpg"}) {
    SCOPED_TRACE(name);
    const auto run = test_support::RunWithAddressSpaceLimit(kMaxPictureBytes + 1024 * kMiB, [&] {
      Result<Bitmap24> b = LoadPictureFile(std::string(ZEVO_TEST_DATA_DIR "/") + name);
      return b ? 0 : IsTooLarge(b.ErrorText()) ? 1 : 2;
    });
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.result, 1);
    // Only the file itself is read.
    EXPECT_LT(run.resident_growth, 16 * kMiB);
    std::printf("%-30s refused, peak %llu MiB of address space, %llu MiB resident\n", name,
                static_cast<unsigned long long>(run.peak_growth / kMiB),
                static_cast<unsigned long long>(run.resident_growth / kMiB));
  }
}

}  // namespace
}  // namespace zevo::gfx
