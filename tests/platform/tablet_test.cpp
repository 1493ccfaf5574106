#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QProcess>
#include <QScreen>
#include <QTabletEvent>
#include <QWidget>
#include <cmath>
#include <vector>

#include "platform/qt/qt_tablet_driver.h"
#include "platform/qt/qt_tablet_source.h"
#include "platform/virtual_tablet.h"

using namespace zevo::platform;
using zevo::platform::qt::QtTabletDriver;
using zevo::platform::qt::QtTabletSource;

namespace {

// a × b / d with a 64-bit product, rounded half away from zero: how the program maps counts.
std::int32_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t d) {
  const std::int64_t p = a * b;
  const std::int64_t q = (std::llabs(p) + std::llabs(d) / 2) / std::llabs(d);
  return std::int32_t(((p < 0) != (d < 0)) ? -q : q);
}

PenInput Pen(PointerPhase phase, double x, double y, double pressure, std::int64_t t) {
  PenInput in;
  in.phase = phase;
  in.screen_x = x;
  in.screen_y = y;
  in.pressure = pressure;
  in.timestamp_ms = t;
  return in;
}

MouseInput Mouse(PointerPhase phase, double x, double y, bool left, std::int64_t t,
                 bool synthesized = false) {
  MouseInput in;
  in.phase = phase;
  in.screen_x = x;
  in.screen_y = y;
  in.left_button = left;
  in.timestamp_ms = t;
  in.synthesized = synthesized;
  return in;
}

}  // namespace

TEST(VirtualTablet, CoversTheScreenAt1024CountsPerPixelFromTheLowerLeft) {
  const VirtualTabletGeometry g(1024, 768);
  EXPECT_EQ(g.ExtentX(), 1048576);
  EXPECT_EQ(g.ExtentY(), 786432);
  EXPECT_EQ(g.ToCounts(0, 0), std::make_pair(0, 786432));        // top-left of the screen
  EXPECT_EQ(g.ToCounts(1024, 768), std::make_pair(1048576, 0));  // bottom-right
  EXPECT_EQ(g.ToCounts(10.5, 20.25), std::make_pair(10752, 765696));
  // Off the screen a position stops at the tablet's edge.
  EXPECT_EQ(g.ToCounts(-30, 900), std::make_pair(0, 0));
  EXPECT_EQ(g.ToCounts(2000, -1), std::make_pair(1048576, 786432));

  const TabletContext c = g.DefaultContext();
  EXPECT_EQ(c.in_ext_x, 1048576);
  EXPECT_EQ(c.in_ext_y, 786432);
  EXPECT_EQ(c.message_base, WT_DEFBASE);
}

TEST(VirtualTablet, TheProgramsMappingGivesBackTheScreenPixel) {
  // The writing area at screen (0, 0)-(1024, 718): its tablet area, then a packet mapped back.
  const VirtualTabletGeometry g(1024, 768);
  const std::int32_t ext_x = g.ExtentX(), ext_y = g.ExtentY();
  const std::int32_t left = MulDiv(0, ext_x, 1024);
  const std::int32_t top = ext_y - MulDiv(0, ext_y, 768);
  const std::int32_t bottom = ext_y - MulDiv(718, ext_y, 768);
  EXPECT_EQ(bottom, 50 * 1024);
  const auto [x, y] = g.ToCounts(100.5, 50.25);
  const float sx = float(MulDiv(x - left, 1024 * 1024, ext_x)) / 1024.0f;
  const float sy = float(MulDiv(top - y, 768 * 1024, ext_y)) / 1024.0f;
  EXPECT_FLOAT_EQ(sx, 100.5f);
  EXPECT_FLOAT_EQ(sy, 50.25f);
}

TEST(VirtualTablet, PressureScalesTo1023AndQueueHandsOutByTheSerial) {
  EXPECT_EQ(PressureCounts(0.0), 0u);
  EXPECT_EQ(PressureCounts(1.0), 1023u);
  EXPECT_EQ(PressureCounts(0.5), 512u);  // 511.5 rounds up
  EXPECT_EQ(PressureCounts(0.25), 256u);
  EXPECT_EQ(PressureCounts(1.7), 1023u);
  EXPECT_EQ(PressureCounts(-0.1), 0u);
  EXPECT_EQ(PressureCounts(std::nan("")), 0u);

  PacketQueue q;
  const auto s1 = q.Push({0, 0, 1, 1, 10});
  const auto s2 = q.Push({0, 0, 2, 2, 20});
  const auto s3 = q.Push({0, 0, 3, 3, 30});
  EXPECT_EQ(s1, 1u);
  EXPECT_EQ(s3, 3u);
  ASSERT_TRUE(q.Read(s2));
  EXPECT_EQ(q.Read(s2), std::nullopt);  // read once
  EXPECT_EQ(q.Read(s1), std::nullopt);  // older packets went with it
  EXPECT_EQ(q.Read(s3)->normal_pressure, 30u);
  EXPECT_EQ(q.Size(), 0u);
  for (std::size_t i = 0; i < PacketQueue::kCapacity + 5; ++i) q.Push({});
  EXPECT_EQ(q.Size(), PacketQueue::kCapacity);
  EXPECT_EQ(q.Read(s3 + 1), std::nullopt);  // the oldest were dropped
}

TEST(VirtualTablet, ContextOutputExtentsScaleThePackets) {
  TabletContext c = VirtualTabletGeometry(100, 50).DefaultContext();
  TabletPacket p{1, 0, 51200, 25600, 7};
  EXPECT_EQ(ScaleToContext(p, c), p);
  c.out_ext_x = c.in_ext_x / 2;
  c.out_ext_y = c.in_ext_y / 4;
  c.out_org_x = 10;
  const TabletPacket s = ScaleToContext(p, c);
  EXPECT_EQ(s.x, 10 + 25600);
  EXPECT_EQ(s.y, 6400);
  EXPECT_EQ(s.normal_pressure, 7u);
}

TEST(PointerPackets, PenContactEndsWithAZeroPressurePacket) {
  PointerPacketSource src(VirtualTabletGeometry(800, 600));
  auto down = src.OnPen(Pen(PointerPhase::Press, 10, 20, 0.4, 100));
  ASSERT_TRUE(down);
  EXPECT_EQ(down->x, 10 * 1024);
  EXPECT_EQ(down->y, 580 * 1024);
  EXPECT_EQ(down->normal_pressure, 409u);
  EXPECT_EQ(down->cursor, kCursorPen);
  EXPECT_TRUE(src.PenDown());
  EXPECT_EQ(src.OnPen(Pen(PointerPhase::Move, 11, 20, 1.0, 105))->normal_pressure, 1023u);
  // The window system may report the last pressure at release; contact is over all the same.
  auto up = src.OnPen(Pen(PointerPhase::Release, 12, 21, 0.7, 110));
  EXPECT_EQ(up->normal_pressure, 0u);
  EXPECT_EQ(up->x, 12 * 1024);
  EXPECT_FALSE(src.PenDown());
  // Hovering reports the position without pressure.
  EXPECT_EQ(src.OnPen(Pen(PointerPhase::Move, 13, 21, 0.0, 115))->normal_pressure, 0u);
}

TEST(PointerPackets, MouseWritesFromPressToReleaseAndLiftsThere) {
  PointerPacketSource src(VirtualTabletGeometry(800, 600));
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, 5, 5, false, 1)).empty());   // hovering
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Press, 5, 5, false, 2)).empty());  // right button
  std::vector<TabletPacket> got;
  for (auto in : {Mouse(PointerPhase::Press, 100, 100, true, 10),
                  Mouse(PointerPhase::Move, 101, 102, true, 11),
                  Mouse(PointerPhase::Move, 103, 104, true, 12),
                  Mouse(PointerPhase::Release, 103, 104, true, 13)})
    for (const TabletPacket& p : src.OnMouse(in)) got.push_back(p);
  ASSERT_GE(got.size(), 4u);
  // The brush lands small at the press point and the stroke is open.
  EXPECT_EQ(got[0].buttons, TBN_DOWN << 16);
  EXPECT_EQ(got[0].x, 100 * 1024);
  EXPECT_EQ(got[0].y, (600 - 100) * 1024);
  EXPECT_EQ(got[0].normal_pressure, PressureCounts(MouseBrush::kEntryStart));
  for (std::size_t i = 1; i + 1 < got.size(); ++i) {
    EXPECT_GT(got[i].normal_pressure, 0u);
    EXPECT_EQ(got[i].buttons, 0u);
    EXPECT_EQ(got[i].cursor, kCursorMouse);
  }
  // The last contact and the lift are both at the release point.
  const TabletPacket& last = got[got.size() - 2];
  EXPECT_EQ(last.x, 103 * 1024);
  EXPECT_EQ(last.y, (600 - 104) * 1024);
  EXPECT_EQ(got.back().normal_pressure, 0u);
  EXPECT_EQ(got.back().buttons, TBN_UP << 16);
  EXPECT_EQ(got.back().x, 103 * 1024);
  EXPECT_EQ(got.back().y, (600 - 104) * 1024);
  EXPECT_EQ(got.back().cursor, kCursorMouse);
  EXPECT_FALSE(src.MouseWriting());
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Release, 1, 1, true, 14)).empty());  // stray release
}

TEST(PointerPackets, MouseEventsMadeFromThePenGiveNoPackets) {
  PointerPacketSource src(VirtualTabletGeometry(800, 600));
  // Flagged as synthesised: the whole gesture is left out.
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Press, 10, 10, true, 10, true)).empty());
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, 11, 10, true, 11, false)).empty());
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Release, 11, 10, true, 12, false)).empty());

  // A press while the pen is down, or just after pen events, belongs to the pen.
  ASSERT_TRUE(src.OnPen(Pen(PointerPhase::Press, 20, 20, 0.5, 100)));
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Press, 20, 20, true, 101)).empty());
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, 21, 20, true, 102)).empty());
  ASSERT_TRUE(src.OnPen(Pen(PointerPhase::Release, 21, 20, 0.0, 103)));
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Release, 21, 20, true, 104)).empty());
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Press, 21, 20, true, 200)).empty());
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Release, 21, 20, true, 201)).empty());
  // Once the pen has been quiet, the mouse writes again.
  EXPECT_EQ(
      src.OnMouse(Mouse(PointerPhase::Press, 30, 30, true, 103 + PointerPacketSource::kPenQuietMs))
          .size(),
      1u);
}

TEST(PointerPackets, ALostMouseReleaseStillLiftsTheStroke) {
  PointerPacketSource src(VirtualTabletGeometry(800, 600));
  ASSERT_EQ(src.OnMouse(Mouse(PointerPhase::Press, 10, 10, true, 10)).size(), 1u);
  ASSERT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, 20, 10, true, 20)).empty());  // pending
  // The release happened where this window did not see it; the next move has no button. The
  // pending path is drawn and the stroke lifts where it got to, not at the hovering pointer.
  auto lift = src.OnMouse(Mouse(PointerPhase::Move, 40, 30, false, 30));
  ASSERT_GE(lift.size(), 2u);
  EXPECT_EQ(lift[lift.size() - 2].x, 20 * 1024);
  EXPECT_GT(lift[lift.size() - 2].normal_pressure, 0u);
  EXPECT_EQ(lift.back().normal_pressure, 0u);
  EXPECT_EQ(lift.back().buttons, TBN_UP << 16);
  EXPECT_EQ(lift.back().x, 20 * 1024);
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, 41, 30, false, 31)).empty());
  // A press while a gesture is still open lifts the old stroke and starts afresh.
  ASSERT_EQ(src.OnMouse(Mouse(PointerPhase::Press, 20, 20, true, 40)).size(), 1u);
  ASSERT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, 30, 20, true, 50)).empty());
  auto again = src.OnMouse(Mouse(PointerPhase::Press, 60, 60, true, 60));
  ASSERT_GE(again.size(), 3u);
  EXPECT_EQ(again[again.size() - 2].buttons, TBN_UP << 16);
  EXPECT_EQ(again[again.size() - 2].x, 30 * 1024);
  EXPECT_EQ(again.back().buttons, TBN_DOWN << 16);
  EXPECT_EQ(again.back().x, 60 * 1024);
  EXPECT_GT(again.back().normal_pressure, 0u);
  auto up = src.OnMouse(Mouse(PointerPhase::Release, 60, 60, true, 70));
  ASSERT_EQ(up.size(), 1u);  // nothing moved: only the lift
  EXPECT_EQ(up.back().normal_pressure, 0u);
}

TEST(PointerPackets, ThePenTakesOverAMouseGesture) {
  PointerPacketSource src(VirtualTabletGeometry(800, 600));
  ASSERT_EQ(src.OnMouse(Mouse(PointerPhase::Press, 10, 10, true, 10)).size(), 1u);
  ASSERT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, 30, 10, true, 20)).empty());  // pending
  ASSERT_TRUE(src.OnPen(Pen(PointerPhase::Press, 50, 50, 0.3, 20)));
  // The mouse's pending path and the rest of its gesture are dropped.
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, 31, 10, true, 21)).empty());
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, 50, 10, true, 22)).empty());
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Release, 50, 10, true, 23)).empty());
  EXPECT_TRUE(src.OnPen(Pen(PointerPhase::Move, 51, 50, 0.3, 23)));
}

class QtTabletSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_.setGeometry(100, 80, 300, 200);
    child_.setParent(&parent_);
    child_.setGeometry(10, 20, 100, 100);
    parent_.show();
    screen_ = QGuiApplication::primaryScreen()->geometry();
  }

  QPointF GlobalOf(QWidget& w, QPointF local) { return QPointF(w.mapToGlobal(local.toPoint())); }

  std::pair<std::int32_t, std::int32_t> Expected(QPointF global) {
    return {std::int32_t(std::lround((global.x() - screen_.left()) * 1024)),
            std::int32_t(std::lround((screen_.height() - (global.y() - screen_.top())) * 1024))};
  }

  void SendTablet(QWidget& w, QEvent::Type type, QPointF local, double pressure, quint64 t) {
    QTabletEvent ev(type, &stylus_, local, GlobalOf(w, local), pressure, 0, 0, 0, 0, 0,
                    Qt::NoModifier, type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton,
                    type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton);
    ev.setTimestamp(t);
    QCoreApplication::sendEvent(&w, &ev);
    last_tablet_accepted_ = ev.isAccepted();
  }

  void SendMouse(QWidget& w, QEvent::Type type, QPointF local, Qt::MouseEventSource source,
                 quint64 t) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent ev(type, local, local, GlobalOf(w, local), button, buttons, Qt::NoModifier, source);
    ev.setTimestamp(t);
    QCoreApplication::sendEvent(&w, &ev);
  }

  QWidget parent_;
  QWidget child_;
  QRect screen_;
  QPointingDevice stylus_{QStringLiteral("test stylus"),
                          77,
                          QInputDevice::DeviceType::Stylus,
                          QPointingDevice::PointerType::Pen,
                          QInputDevice::Capability::Position | QInputDevice::Capability::Pressure,
                          1,
                          3};
  bool last_tablet_accepted_ = true;
};

TEST_F(QtTabletSourceTest, TabletEventsBecomePacketsAtTheirGlobalPosition) {
  std::vector<TabletPacket> got;
  QtTabletSource source([&](const TabletPacket& p) { got.push_back(p); });
  source.Watch(&child_);
  source.Watch(&parent_);

  SendTablet(child_, QEvent::TabletPress, {5, 6}, 0.5, 1000);
  // Left unaccepted, so Qt's own mouse events still follow the pen.
  EXPECT_FALSE(last_tablet_accepted_);
  SendTablet(child_, QEvent::TabletMove, {7.5, 6.25}, 1.0, 1001);
  SendTablet(child_, QEvent::TabletRelease, {8, 7}, 0.6, 1002);
  // Unaccepted events travel on to the watched parent: still one packet each.
  ASSERT_EQ(got.size(), 3u);
  const auto [x0, y0] = Expected(GlobalOf(child_, {5, 6}));
  EXPECT_EQ(got[0].x, x0);
  EXPECT_EQ(got[0].y, y0);
  EXPECT_EQ(got[0].normal_pressure, 512u);
  const auto [x1, y1] = Expected(GlobalOf(child_, {7.5, 6.25}));
  EXPECT_EQ(got[1].x, x1);
  EXPECT_EQ(got[1].y, y1);
  EXPECT_EQ(got[1].normal_pressure, 1023u);
  EXPECT_EQ(got[2].normal_pressure, 0u);

  // The mouse events Qt makes from those tablet events write nothing.
  SendMouse(child_, QEvent::MouseButtonPress, {5, 6}, Qt::MouseEventSynthesizedByQt, 1003);
  SendMouse(child_, QEvent::MouseMove, {9, 6}, Qt::MouseEventSynthesizedByQt, 1004);
  SendMouse(child_, QEvent::MouseButtonRelease, {9, 6}, Qt::MouseEventSynthesizedByQt, 1005);
  EXPECT_EQ(got.size(), 3u);
}

TEST_F(QtTabletSourceTest, TheMouseWritesThroughTheSamePackets) {
  std::vector<TabletPacket> got;
  QtTabletSource source([&](const TabletPacket& p) { got.push_back(p); });
  source.Watch(&child_);
  source.Watch(&parent_);
  SendMouse(child_, QEvent::MouseMove, {1, 1}, Qt::MouseEventNotSynthesized, 10);
  SendMouse(child_, QEvent::MouseButtonPress, {2, 3}, Qt::MouseEventNotSynthesized, 11);
  SendMouse(child_, QEvent::MouseMove, {12, 3}, Qt::MouseEventNotSynthesized, 30);
  SendMouse(child_, QEvent::MouseMove, {22, 5}, Qt::MouseEventNotSynthesized, 50);
  SendMouse(child_, QEvent::MouseButtonRelease, {22, 5}, Qt::MouseEventNotSynthesized, 60);
  // One mouse event may give several packets, each announced; none twice through the parent.
  ASSERT_GE(got.size(), 12u);
  EXPECT_EQ(got.front().buttons, TBN_DOWN << 16);
  EXPECT_EQ(std::make_pair(got.front().x, got.front().y), Expected(GlobalOf(child_, {2, 3})));
  for (std::size_t i = 1; i + 1 < got.size(); ++i) {
    EXPECT_GT(got[i].normal_pressure, 0u);
    EXPECT_LE(std::hypot(got[i].x - got[i - 1].x, got[i].y - got[i - 1].y),
              MouseBrush::kMaxStepPx * kCountsPerPixel + 2);
  }
  EXPECT_EQ(got.back().normal_pressure, 0u);
  EXPECT_EQ(std::make_pair(got.back().x, got.back().y), Expected(GlobalOf(child_, {22, 5})));
}

TEST(QtTabletDriver, PacketsAreAnnouncedAndReadOnceByTheirSerial) {
  QtTabletDriver driver(VirtualTabletGeometry(1024, 768));
  std::vector<std::pair<std::uint32_t, std::uint32_t>> messages;
  driver.SetMessageHandler([&](std::uint32_t m, std::uint32_t s) { messages.emplace_back(m, s); });
  driver.Post({0, 0, 5, 5, 100});  // not loaded, not open: dropped
  std::string error = "old";
  ASSERT_TRUE(driver.Load(error));
  EXPECT_TRUE(error.empty());
  ASSERT_NE(driver.Source(), nullptr);
  TabletContext c = driver.DefaultContext();
  EXPECT_EQ(c.in_ext_x, 1024 * 1024);
  EXPECT_EQ(c.in_ext_y, 768 * 1024);
  driver.Post({0, 0, 5, 5, 100});  // not open yet
  EXPECT_TRUE(messages.empty());

  c.options |= CXO_SYSTEM | CXO_MESSAGES;
  c.out_org_x = c.out_org_y = 0;
  c.out_ext_x = c.in_ext_x;
  c.out_ext_y = c.in_ext_y;
  ASSERT_TRUE(driver.Open(c));
  // The handler reads the packet inside the announcement, as a packet message handler does.
  std::optional<TabletPacket> read;
  driver.SetMessageHandler([&](std::uint32_t m, std::uint32_t s) {
    messages.emplace_back(m, s);
    if (m == WT_PACKET) read = driver.ReadPacket(s);
  });
  driver.Post({1, 0, 2048, 4096, 700});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, 0x7FF0u);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->x, 2048);
  EXPECT_EQ(read->normal_pressure, 700u);
  EXPECT_EQ(driver.ReadPacket(messages[0].second), std::nullopt);

  driver.Close();
  driver.Post({1, 0, 1, 1, 1});
  EXPECT_EQ(messages.size(), 1u);
  driver.Unload();
  EXPECT_EQ(driver.Source(), nullptr);
}

// The real window system's mouse: runs only under X11 (QT_QPA_PLATFORM=xcb with xdotool).
TEST(QtTabletSourceX11, MouseButtonOverTheWindowWritesAtTheScreenPosition) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "not on X11";
  QWidget area;
  area.setGeometry(50, 60, 300, 200);
  area.show();
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

  std::vector<TabletPacket> got;
  QtTabletSource source([&](const TabletPacket& p) { got.push_back(p); });
  source.Watch(&area);
  const QPoint a = area.mapToGlobal(QPoint(20, 30)), b = area.mapToGlobal(QPoint(60, 40));
  const auto arg = [](int v) { return QString::number(v); };
  if (QProcess::execute(QStringLiteral("xdotool"),
                        {"mousemove", arg(a.x()), arg(a.y()), "mousedown", "1", "mousemove",
                         arg(b.x()), arg(b.y()), "mouseup", "1"}) != 0)
    GTEST_SKIP() << "xdotool not available";
  t.restart();
  while ((got.empty() || got.back().normal_pressure != 0) && t.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

  ASSERT_GE(got.size(), 3u);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(got.front().buttons, TBN_DOWN << 16);
  EXPECT_EQ(got.front().x, (a.x() - screen.left()) * 1024);
  EXPECT_EQ(got.front().y, (screen.height() - (a.y() - screen.top())) * 1024);
  EXPECT_EQ(got.back().normal_pressure, 0u);
  EXPECT_EQ(got.back().x, (b.x() - screen.left()) * 1024);
  EXPECT_EQ(got.back().y, (screen.height() - (b.y() - screen.top())) * 1024);
  // The jump between the two places is filled in with packets along the way.
  EXPECT_GE(got.size(), 20u);
  for (std::size_t i = 1; i + 1 < got.size(); ++i) EXPECT_GT(got[i].normal_pressure, 0u);
}
