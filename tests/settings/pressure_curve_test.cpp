#include "ink/pressure_curve.h"

#include <cmath>

#include <gtest/gtest.h>

namespace zevo::ink {
namespace {

TEST(PressureCurve, DefaultsGiveTheIdentity) {
  PressureCurve identity;
  PressureCurve built;
  built.Build(0, 1023, 0);
  for (int i = 0; i < 1023; ++i) ASSERT_FLOAT_EQ(built.Mapped(i), float(i)) << i;
  EXPECT_EQ(built.Mapped(1023), 1023.0f);
  EXPECT_EQ(identity.Entries(), built.Entries());
  EXPECT_FALSE(built.Contact(0));
  EXPECT_TRUE(built.Contact(1));
  EXPECT_FLOAT_EQ(built.Normalised(1), 1.0f / 1023);
  EXPECT_FLOAT_EQ(built.Normalised(1023), 1.0f);
}

TEST(PressureCurve, MinimumMaximumAndGamma) {
  PressureCurve c;
  c.Build(100, 1023, 0);
  for (int i = 0; i < 100; ++i) ASSERT_FALSE(c.Contact(i));
  EXPECT_EQ(c.Mapped(100), 0.0f);  // entry minimum + 0 is 0 as well
  EXPECT_TRUE(c.Contact(101));

  c.Build(0, 800, 0);
  for (int i = 800; i < 1024; ++i) ASSERT_EQ(c.Mapped(i), 1023.0f);
  EXPECT_FLOAT_EQ(c.Mapped(400), float(400 * (1023.0 / 800)));

  PressureCurve linear, bent, up;
  linear.Build(0, 1000, 0);
  bent.Build(0, 1000, 1024);
  up.Build(0, 1000, -1024);
  EXPECT_FLOAT_EQ(linear.Mapped(500), 511.5f);
  EXPECT_FLOAT_EQ(bent.Mapped(500), float(std::pow(0.5, std::pow(1.002, 1024)) * 1023));
  EXPECT_LT(bent.Mapped(500), linear.Mapped(500));
  EXPECT_GT(up.Mapped(500), linear.Mapped(500));
}

TEST(PressureCurve, MinimumAtOrAboveMaximumIsAStep) {
  for (auto [lo, hi] : {std::pair{500, 500}, std::pair{900, 300}}) {
    PressureCurve c;
    c.Build(lo, hi, 7);
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(c.Mapped(i), i < hi ? 0.0f : 1023.0f) << i;
  }
}

TEST(PressureCurve, OddSettingsAndRawValuesStayInTheTable) {
  PressureCurve c;
  c.Build(-200, 5000, 0);  // hand-edited values: only the part inside the table is filled
  EXPECT_FLOAT_EQ(c.Mapped(0), float(200 * (1023.0 / 5200)));
  c.Build(INT32_MIN, INT32_MAX, INT32_MAX);
  for (float v : c.Entries()) ASSERT_TRUE(std::isfinite(v) && v >= 0 && v <= 1023);
  c.Build(0, 1023, INT32_MIN);
  for (float v : c.Entries()) ASSERT_TRUE(std::isfinite(v) && v >= 0 && v <= 1023);

  c.Build(0, 1023, 0);
  EXPECT_EQ(c.Mapped(1024), 1023.0f);  // above the range: full pressure
  EXPECT_EQ(c.Mapped(65535), 1023.0f);
  EXPECT_EQ(c.Mapped(INT32_MAX), 1023.0f);
  EXPECT_EQ(c.Mapped(-1), 0.0f);  // below it: lifted
  EXPECT_FALSE(c.Contact(INT32_MIN));
}

TEST(BrushGain, RisingPressureSwellsTheBrushUpToItsBound) {
  const BrushExtension x = BrushExtension::FromSettings(1000, 0);
  EXPECT_FLOAT_EQ(x.full, 1.2f);
  EXPECT_FLOAT_EQ(x.half, 1.1f);
  EXPECT_FLOAT_EQ(x.maximum, 3.0f);
  BrushGain g;
  float p = 0.1f, px = 0;
  // First moving packet: no previous step yet, the gain stays.
  EXPECT_FLOAT_EQ(g.Update(p + 0.01f, p, px + 10, 0, px, 0, x), 1.0f);
  p += 0.01f, px += 10;
  // Shorter step, harder: the trend starts at the half factor.
  EXPECT_FLOAT_EQ(g.Update(p + 0.01f, p, px + 5, 0, px, 0, x), 1.1f);
  p += 0.01f, px += 5;
  const float expected[] = {1.32f, 1.584f, 1.9008f, 2.28096f, 2.737152f, 3.0f, 3.0f};
  for (float e : expected) {
    // Whatever the step length while the trend goes on.
    EXPECT_NEAR(g.Update(p + 0.01f, p, px + 50, 0, px, 0, x), e, 1e-5);
    p += 0.01f, px += 50;
  }
  EXPECT_EQ(g.Trend(), 1);
  EXPECT_FLOAT_EQ(MovingRadius(0.5f, 10.0f, g, x), 15.0f);
  g.Reset();
  EXPECT_EQ(g.Gain(), 1.0f);
  EXPECT_EQ(g.Trend(), 0);
}

TEST(BrushGain, LiftingWhileSpeedingUpThinsItAndItDriftsBack) {
  const BrushExtension x = BrushExtension::FromSettings(1000, 50);
  EXPECT_FLOAT_EQ(x.maximum, 1.5f);
  BrushGain g;
  g.Update(0.5f, 0.5f, 1, 0, 0, 0, x);                             // step² 1, no change
  EXPECT_FLOAT_EQ(g.Update(0.4f, 0.5f, 5, 0, 1, 0, x), 1 / 1.1f);  // faster, lighter
  EXPECT_FLOAT_EQ(g.Update(0.3f, 0.4f, 6, 0, 5, 0, x), 1 / (1.1f * 1.2f));
  EXPECT_FLOAT_EQ(g.Update(0.2f, 0.3f, 7, 0, 6, 0, x), 1 / 1.5f);  // bounded
  // The trend ends when the pressure stops falling; harder pressure then drifts back.
  g.Update(0.2f, 0.2f, 8, 0, 7, 0, x);
  EXPECT_EQ(g.Trend(), 0);
  EXPECT_FLOAT_EQ(g.Update(0.25f, 0.2f, 9, 0, 8, 0, x), 1.1f / 1.5f);
}

TEST(BrushGain, DefaultRatioKeepsTheGainAtOneAndOddFactorsStayFinite) {
  BrushExtension none = BrushExtension::FromSettings(0, 0);
  BrushGain g;
  for (int i = 0; i < 50; ++i) g.Update(0.01f * i, 0.01f * (i - 1), 0, 0, float(50 - i), 0, none);
  EXPECT_EQ(g.Gain(), 1.0f);

  // F1 = 0 (ratio −5000): the gain is not used.
  BrushExtension zero = BrushExtension::FromSettings(-5000, 0);
  EXPECT_EQ(zero.full, 0.0f);
  EXPECT_FLOAT_EQ(MovingRadius(0.5f, 10.0f, g, zero), 5.0f);
  EXPECT_FLOAT_EQ(PenDownRadius(0.5f, 10.0f), 5.0f);

  for (int ratio : {-10000, -20000, INT32_MIN, INT32_MAX}) {
    BrushExtension odd = BrushExtension::FromSettings(ratio, 1000000);
    EXPECT_LE(odd.maximum, 3.0f);
    BrushGain h;
    float pp = 0;
    for (int i = 1; i < 40; ++i) {
      float p = (i % 7) * 0.1f;
      float gain = h.Update(p, pp, float(i * i % 13), 0, float((i - 1) * (i - 1) % 13), 0, odd);
      ASSERT_TRUE(std::isfinite(gain) && gain >= 1 / 3.0f && gain <= 3.0f) << ratio;
      pp = p;
    }
  }
}

}  // namespace
}  // namespace zevo::ink
