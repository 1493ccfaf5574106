#include "settings/text_format.h"

#include <clocale>
#include <cstdio>

#include <gtest/gtest.h>

namespace zevo::settings {
namespace {

// Runs the body under a decimal-comma locale when the machine has one.
class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
      GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/install-deps generates it)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");  // the C library does use the comma here
  }
  void TearDown() override { std::setlocale(LC_ALL, old_.c_str()); }

 private:
  std::string old_;
};

TEST_F(DecimalCommaLocale, NumbersAreFormattedWithAPoint) {
  EXPECT_EQ(FormatFixed(0.125, 1), "0.1");
  EXPECT_EQ(FormatFixed(1.5, 1), "1.5");
  EXPECT_EQ(FormatFixed(22, 1), "22.0");
  EXPECT_EQ(FormatFixed(2.5, 0), "2");  // as printf rounds: to even on a tie
  EXPECT_EQ(FormatPercent(20 * 0.02), "0.40 %");
  EXPECT_EQ(FormatPercent(100 * 0.02), "2.00 %");
  EXPECT_EQ(FormatVersion(1, 4), "1.04");
  EXPECT_EQ(FormatVersion(1, 12), "1.12");
  EXPECT_EQ(FormatVersion(2, 100), "2.100");
  EXPECT_EQ(FormatByteSize(0), "0Byte");
  EXPECT_EQ(FormatByteSize(1024), "1024Byte");
  EXPECT_EQ(FormatByteSize(1025), "1KB");
  EXPECT_EQ(FormatByteSize(3000000), "2.9MB");
  EXPECT_EQ(FormatByteSize(1610612736.0 * 1024), "1536.00GB");  // at most three divisions
  EXPECT_EQ(FormatByteSize(1536.0 * 1024 * 1024), "1.50GB");
}

TEST_F(DecimalCommaLocale, MatchesPrintfInTheCLocale) {
  const double values[] = {0, 0.05, 0.125, 0.25, 0.35, 1.005, 2.675, 3.14159, 1e6 + 0.5, -7.25};
  for (double v : values) {
    for (int d : {0, 1, 2}) {
      std::string expected = FormatFixed(v, d);
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*f", d, v);
      std::string local = buf;
      for (char& c : local)
        if (c == ',') c = '.';
      EXPECT_EQ(expected, local) << v << " " << d;
    }
  }
}

TEST_F(DecimalCommaLocale, CommandLineIntegers) {
  EXPECT_EQ(ParseDecimalInt("2048"), 2048);
  EXPECT_EQ(ParseDecimalInt("-15"), -15);
  EXPECT_EQ(ParseDecimalInt("+7"), 7);
  EXPECT_EQ(ParseDecimalInt("2147483647"), INT32_MAX);
  EXPECT_EQ(ParseDecimalInt("-2147483648"), INT32_MIN);
  for (const char* bad :
       {"", "+", "-", "2147483648", "1.5", "1,5", " 3", "3 ", "0x10", "++1", "+-1", "12a", "1.000"})
    EXPECT_FALSE(ParseDecimalInt(bad)) << bad;
  EXPECT_EQ(StrToInt("255"), 255);
  EXPECT_THROW(StrToInt("abc"), ConversionError);
  try {
    StrToInt("12x");
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
  }
}

TEST(FillFormat, SkinFormatsCannotReachMissingArguments) {
  EXPECT_EQ(FillFormat("Quality of Sampling (Size:%s - %s)", {"1KB", "2KB"}),
            "Quality of Sampling (Size:1KB - 2KB)");
  EXPECT_EQ(FillFormat("Version %s is newer", {"1.04"}), "Version 1.04 is newer");
  EXPECT_EQ(FillFormat("No version here", {"1.04"}), "No version here");
  EXPECT_EQ(FillFormat("%s %s %s %n %d 100%% %", {"a"}), "a   %n %d 100% %");
}

}  // namespace
}  // namespace zevo::settings
