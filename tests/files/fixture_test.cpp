// Every .stk file in tests/data/stk must read with the result its name begins with ("r2_..."
// gives 2). Files written by earlier versions of the program, inputs found by fuzzing and the
// files of make_fixtures.py live there, so that later versions keep reading and refusing them
// the same way.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/codec_binding.h"
#include "files/stroke_file.h"
#include "platform/library_loader.h"

namespace zevo::files {
namespace {

namespace fs = std::filesystem;

TEST(StrokeFileFixtures, EveryFixtureGivesTheResultInItsName) {
  auto loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
  auto codec = CodecBinding::Load(*loader);
  ASSERT_TRUE(codec.Ok()) << codec.ErrorText();
  int checked = 0;
  for (const auto& e : fs::directory_iterator(fs::path(ZEVO_TEST_DATA_DIR) / "stk")) {
    if (e.path().extension() != ".stk") continue;
    const std::string name = e.path().filename().string();
    ASSERT_TRUE(name.size() > 3 && name[0] == 'r' && name[2] == '_') << name;
    SCOPED_TRACE(name);
    ink::StrokeDocument d(1024, 718);
    const int result = ReadStrokeFile(d, e.path().string(), &codec.Value());
    EXPECT_EQ(result, name[1] - '0');
    if (result != 0) {
      EXPECT_EQ(d.Count(), 0);
      EXPECT_EQ(d.Background(), nullptr);
    } else {
      EXPECT_FALSE(d.StrokeOpen());
    }
    ++checked;
  }
  EXPECT_GE(checked, 10);
}

// A file encoded by the first version of the codec keeps its exact content.
TEST(StrokeFileFixtures, TheFirstEncodedFormatStaysReadable) {
  auto loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
  auto codec = CodecBinding::Load(*loader);
  ASSERT_TRUE(codec.Ok());
  ink::StrokeDocument d(1, 1);
  StrokeFileDetails details;
  ASSERT_EQ(ReadStrokeFile(d, std::string(ZEVO_TEST_DATA_DIR) + "/stk/r0_encoded_container_v1.stk",
                           &codec.Value(), &details),
            0);
  EXPECT_EQ(details.step, 2);
  EXPECT_EQ(std::string(d.author.data()), "author");
  EXPECT_EQ(std::string(d.password.data()), "pw");
  ASSERT_EQ(d.Count(), 5);
  EXPECT_EQ(d.Entry(0)->value, 0x102030u);
  EXPECT_EQ(d.Entry(0)->samples.front(), (ink::StrokeSample{10, 20, 3}));
  EXPECT_EQ(d.Entry(0)->samples.back(), (ink::StrokeSample{14, 22, 0}));
  ASSERT_NE(d.Background(), nullptr);
  EXPECT_EQ(d.Background()->Width(), 2);
}

// Odd but finite values are no damage: the renderer copes with them, so they load whole.
TEST(StrokeFileFixtures, OddButFiniteDocumentsLoadWhole) {
  auto loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
  auto codec = CodecBinding::Load(*loader);
  ASSERT_TRUE(codec.Ok());
  const std::string stk = std::string(ZEVO_TEST_DATA_DIR) + "/stk/";
  ink::StrokeDocument d(1, 1);

  ASSERT_EQ(ReadStrokeFile(d, stk + "r0_huge_and_negative_radius.stk", &codec.Value()), 0);
  ASSERT_EQ(d.Count(), 1);
  EXPECT_EQ(d.Entry(0)->samples[0].radius, 3e8f);
  EXPECT_EQ(d.Entry(0)->samples[1].radius, -7.5f);

  ASSERT_EQ(ReadStrokeFile(d, stk + "r0_far_segments.stk", &codec.Value()), 0);
  ASSERT_EQ(d.Count(), 10);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(d.Entry(k)->samples.front().x, k % 2 ? 1e9f : -1e9f) << k;
    EXPECT_EQ(d.Entry(k)->samples.back().x, k % 2 ? -1e9f : 1e9f) << k;
  }

  ASSERT_EQ(ReadStrokeFile(d, stk + "r0_ten_thousand_fills.stk", &codec.Value()), 0);
  ASSERT_EQ(d.Count(), 10001);
  for (int k : {1, 2, 9999, 10000}) {
    EXPECT_EQ(d.Entry(k)->kind, ink::StrokeKind::Fill);
    EXPECT_EQ(d.Entry(k)->value, k % 2 ? 0xFF0000u : 0x0000FFu) << k;
    EXPECT_EQ(d.Entry(k)->x, 512.0f);
  }
}

}  // namespace
}  // namespace zevo::files
