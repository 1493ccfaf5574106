// The stroke file fixtures read in a process that has only the memory budget and a margin:
// the files too large for Zevo 3 are refused as such instead of running out of memory (which
// would read as damage, or kill the program), and what the reader took at its peak is reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "files/codec_binding.h"
#include "files/stroke_file.h"
#include "platform/library_loader.h"
#include "tests/support/address_space_limit.h"

namespace zevo::files {
namespace {

namespace fs = std::filesystem;
using test_support::RunWithAddressSpaceLimit;

constexpr std::uint64_t kMiB = std::uint64_t(1) << 20;
constexpr std::uint64_t kLimit = kMaxDocumentBytes + 1024 * kMiB;

TEST(MemoryLimit, EveryFixtureReadsAsNamedWithinTheBudgetAndAMargin) {
  if (!test_support::kAddressSpaceLimitWorks) {
    GTEST_SKIP() << "an address space limit cannot hold a sanitizer's shadow memory";
  }
  auto loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
  auto codec = CodecBinding::Load(*loader);
  ASSERT_TRUE(codec.Ok()) << codec.ErrorText();
  int too_large = 0;
  for (const auto& e : fs::directory_iterator(fs::path(ZEVO_TEST_DATA_DIR) / "stk")) {
    if (e.path().extension() != ".stk") continue;
    const std::string name = e.path().filename().string();
    SCOPED_TRACE(name);
    const auto run = RunWithAddressSpaceLimit(kLimit, [&] {
      ink::StrokeDocument d(1024, 718);
      return ReadStrokeFile(d, e.path().string(), &codec.Value());
    });
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.result, name[1] - '0');
    // The codec's working copies come on top of the budget, within the margin.
    EXPECT_LT(run.peak_growth, kLimit);
    if (run.result == kReadTooLarge) {
      ++too_large;
      EXPECT_LT(run.resident_growth, kMaxDocumentBytes);
      std::printf("%-34s refused, peak %4llu MiB of address space, %4llu MiB resident\n",
                  name.c_str(), static_cast<unsigned long long>(run.peak_growth / kMiB),
                  static_cast<unsigned long long>(run.resident_growth / kMiB));
    }
  }
  EXPECT_GE(too_large, 4);
}

}  // namespace
}  // namespace zevo::files
