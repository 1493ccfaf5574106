#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

// A writer's session recorded as events (tests/data/sessions/*.txt, made by
// tests/tools/make_session.py) is replayed through the real packet handler and the window's
// handlers. At each "check" the page, the overview and the history must be exactly what they
// were when the session was recorded (the .expected file beside it). Setting
// ZEVO_RECORD_SESSIONS=1 writes that file anew instead of comparing.

std::uint64_t Fnv(const void* data, std::size_t n, std::uint64_t h) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
  return h;
}
constexpr std::uint64_t kFnvStart = 0xCBF29CE484222325ull;

std::uint64_t HashPixels(const gfx::Bitmap24& b) {
  std::uint64_t h = kFnvStart;
  for (int y = 0; y < b.Height(); ++y) h = Fnv(b.Row(y), std::size_t(b.Width()) * 3, h);
  return h;
}

std::uint64_t HashHistory(const ink::StrokeDocument& doc) {
  std::uint64_t h = kFnvStart;
  for (int i = 0; i < doc.Count(); ++i) {
    const ink::Stroke& e = *doc.Entry(i);
    const int kind = int(e.kind);
    h = Fnv(&kind, sizeof kind, h);
    h = Fnv(&e.value, sizeof e.value, h);
    for (const ink::StrokeSample& s : e.samples) h = Fnv(&s, sizeof s, h);
    if (e.kind == ink::StrokeKind::Fill) h = Fnv(&e.x, sizeof e.x, Fnv(&e.y, sizeof e.y, h));
  }
  return h;
}

struct Checkpoint {
  std::uint64_t page = 0, overview = 0, history = 0;
  int count = 0, position = 0;
  bool operator==(const Checkpoint&) const = default;
};

std::string Describe(const Checkpoint& c) {
  std::ostringstream s;
  s << std::hex << c.page << ' ' << c.overview << ' ' << c.history << std::dec << ' ' << c.count
    << ' ' << c.position;
  return s.str();
}

class SessionPlayer {
 public:
  explicit SessionPlayer(test::TestWindow& t) : t_(t), w_(*t.win) {}

  // Runs one event line; a "check" line returns its name and fills `out`.
  std::string Run(const std::string& line, Checkpoint& out) {
    std::istringstream in(line);
    std::string op;
    in >> op;
    if (op == "pen") {
      double x, y;
      std::uint32_t p;
      in >> x >> y >> p;
      t_.Packet(x, y, p);
    } else if (op == "swatch") {
      int row, tag;
      in >> row >> tag;
      w_.PaletteSwatchClick(row, tag);
    } else if (op == "brush") {
      int cell;
      in >> cell;
      w_.ImagePWMouseDown((cell % 4) * 45 + 22, (cell / 4) * 45 + 22);
    } else if (op == "tool") {
      w_.Button1Click();
    } else if (op == "clear") {
      // The control panel opened from the play bar, "Clear", and the pen back over the page.
      t_.Click("ShowControl");
      t_.Click("Clear");
      w_.ImgAMouseMove(500, 300);
      EXPECT_FALSE(w_.panels.ControlPanel.visible);
      EXPECT_TRUE(w_.pen.enabled);
    } else if (op == "first") {
      t_.Click("First");
    } else if (op == "prev") {
      t_.Click("Prev");
    } else if (op == "next") {
      t_.Click("Next");
    } else if (op == "last") {
      t_.Click("Last");
    } else if (op == "play") {
      int ticks;
      in >> ticks;
      t_.Click("Play");
      for (int i = 0; i < ticks; ++i) w_.Timer2Timer();
    } else if (op == "stop") {
      t_.Click("Stop");
    } else if (op == "check") {
      std::string name;
      in >> name;
      out = {HashPixels(w_.views.Page()), HashPixels(w_.views.Overview()),
             HashHistory(w_.Document()), w_.Document().Count(), w_.player.bar.position};
      return name;
    } else {
      ADD_FAILURE() << "unknown event: " << line;
    }
    return {};
  }

 private:
  test::TestWindow& t_;
  TZevo3Win& w_;
};

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);)
    if (!l.empty()) lines.push_back(l);
  return lines;
}

TEST(RecordedSession, GivesThePixelsAndHistoryItWasRecordedWith) {
  const std::string base = std::string(ZEVO_TEST_DATA_DIR) + "/sessions/first_session";
  const std::vector<std::string> events = Lines(base + ".txt");
  ASSERT_GT(events.size(), 300u) << "the session file is missing: " << base << ".txt";
  const bool record = std::getenv("ZEVO_RECORD_SESSIONS") != nullptr;

  std::map<std::string, Checkpoint> expected;
  if (!record) {
    for (const std::string& l : Lines(base + ".expected")) {
      std::istringstream in(l);
      std::string name;
      Checkpoint c;
      in >> name >> std::hex >> c.page >> c.overview >> c.history >> std::dec >> c.count >>
          c.position;
      expected[name] = c;
    }
    ASSERT_FALSE(expected.empty()) << "no recorded results in " << base << ".expected";
  }

  test::TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  SessionPlayer player(t);
  std::map<std::string, Checkpoint> seen;
  std::ostringstream recorded;
  for (const std::string& line : events) {
    Checkpoint c;
    const std::string name = player.Run(line, c);
    if (name.empty()) continue;
    seen[name] = c;
    recorded << name << ' ' << Describe(c) << '\n';
    if (!record) {
      ASSERT_TRUE(expected.count(name)) << name;
      EXPECT_EQ(Describe(c), Describe(expected[name])) << "at " << name;
    }
  }
  if (record) {
    std::ofstream(base + ".expected") << recorded.str();
    GTEST_SKIP() << "recorded " << base << ".expected";
  }

  // What the session did, independent of the recorded hashes.
  EXPECT_EQ(seen["three_strokes"].count, 3);
  EXPECT_EQ(seen["ring_and_fill"].count, 5);
  EXPECT_EQ(seen["two_back"].position, 3);
  EXPECT_EQ(seen["two_back"].count, 5);
  EXPECT_EQ(seen["rewritten"].count, 5);
  EXPECT_EQ(seen["rewritten"].position, 5);
  EXPECT_EQ(seen["walked"], seen["rewritten"]);
  EXPECT_LT(seen["replay_stopped"].position, 5);
  EXPECT_EQ(seen["after_clear"].count, 1);
  EXPECT_EQ(seen["after_clear"].position, 1);
  EXPECT_NE(seen["ring_and_fill"].page, seen["two_back"].page);
}

}  // namespace
}  // namespace zevo::app
