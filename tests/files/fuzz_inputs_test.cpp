// The inputs of the stroke file fuzz targets (tests/data/fuzz/fuzz_stroke_plain and
// fuzz_stroke_encoded), the seeds and what fuzzing found: plain layouts, read as they are and
// encoded by the real codec first.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "files/codec_binding.h"
#include "files/stroke_file.h"
#include "fuzz/files/json_harness.h"
#include "platform/library_loader.h"
#include "tests/support/fuzz_inputs.h"

namespace zevo::files {
namespace {

// A failed read leaves nothing behind; a good one leaves no stroke open.
void ExpectReadKeepsItsPromises(int result, const ink::StrokeDocument& d) {
  if (result != kReadOk) {
    EXPECT_EQ(d.Count(), 0);
    EXPECT_EQ(d.Background(), nullptr);
  } else {
    EXPECT_FALSE(d.StrokeOpen());
  }
}

bool SameEntries(const ink::StrokeDocument& a, const ink::StrokeDocument& b) {
  if (a.Count() != b.Count() || (a.Background() == nullptr) != (b.Background() == nullptr)) {
    return false;
  }
  for (int i = 0; i < a.Count(); ++i) {
    const ink::Stroke& x = *a.Entry(i);
    const ink::Stroke& y = *b.Entry(i);
    // Samples bit for bit: a layout may hold NaNs.
    // (memcmp must not see the null data of an entry without samples.)
    if (x.kind != y.kind || x.value != y.value || x.samples.size() != y.samples.size() ||
        (!x.samples.empty() && std::memcmp(x.samples.data(), y.samples.data(),
                                           x.samples.size() * sizeof(ink::StrokeSample)) != 0)) {
      return false;
    }
  }
  return true;
}

// The JSON texts (fuzz_stroke_json): those that import come back through a stroke file as they
// were and render; the others leave nothing behind. A broken promise traps.
TEST(FuzzInputs, JsonTextsImportAndComeBackOrAreRefusedCleanly) {
  int imported = 0;
  for (const test::FuzzInput& input : test::FuzzInputs("fuzz_stroke_json")) {
    SCOPED_TRACE(input.name);
    if (fuzz::ImportJson(input.bytes)) ++imported;
  }
  EXPECT_GT(imported, 0);
}

TEST(FuzzInputs, PlainLayoutsReadOrAreRefusedCleanly) {
  int read = 0;
  for (const test::FuzzInput& input : test::FuzzInputs("fuzz_stroke_plain")) {
    SCOPED_TRACE(input.name);
    ink::StrokeDocument d(1024, 718);
    const int result = ReadStrokeData(d, input.bytes, nullptr);
    ExpectReadKeepsItsPromises(result, d);
    if (result == kReadOk) ++read;
  }
  EXPECT_GT(read, 0);
}

// Encoded by the codec, a layout reads exactly as it does plain.
TEST(FuzzInputs, EncodedLayoutsReadAsTheirPlainLayouts) {
  auto loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
  const Result<CodecBinding> codec = CodecBinding::Load(*loader);
  ASSERT_TRUE(codec.Ok()) << codec.ErrorText();
  int read = 0;
  for (const test::FuzzInput& input : test::FuzzInputs("fuzz_stroke_encoded")) {
    SCOPED_TRACE(input.name);
    std::vector<std::uint8_t> encoded;
    ASSERT_TRUE(codec.Value().Encode(input.bytes, encoded));
    ink::StrokeDocument d(1024, 718);
    const int result = ReadStrokeData(d, encoded, &codec.Value());
    EXPECT_NE(result, kReadCannotDecode);
    ExpectReadKeepsItsPromises(result, d);
    if (result == kReadOk) ++read;

    const bool looks_encoded =
        input.bytes.size() >= 4 && std::memcmp(input.bytes.data(), "zvRD", 4) == 0;
    if (looks_encoded) continue;  // read plain, it would go to the codec
    ink::StrokeDocument plain(1024, 718);
    EXPECT_EQ(ReadStrokeData(plain, input.bytes, nullptr), result);
    EXPECT_TRUE(SameEntries(d, plain));
  }
  EXPECT_GT(read, 0);
}

}  // namespace
}  // namespace zevo::files
