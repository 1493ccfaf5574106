#pragma once

#include <string>

namespace zevo::base {

// The main window's progress panel as the long redraws drive it: a bar with a maximum and a
// position and a label taken from a line of the message list.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void Show(int maximum, int message_line) = 0;
  // The same with a label of its own.
  virtual void ShowText(int maximum, const std::string& label) = 0;
  virtual void SetPosition(int position) = 0;
  // Hides the panel, empties the label, and sets the bar's position and maximum to 0.
  virtual void Hide() = 0;
  // Whether the writer asked to stop the work shown (work that can be stopped asks now and
  // then; meanwhile the panel is painted).
  virtual bool StopRequested() { return false; }
};

// Message lines of the two redraw loops.
inline constexpr int kProgressLineHistory = 16;
inline constexpr int kProgressLineTraceModel = 17;

// One loop over `count` entries: the panel appears only for more than 16 entries and the bar
// moves every 16th entry, so a long redraw is not slowed by repainting it.
class ProgressRun {
 public:
  ProgressRun(ProgressDisplay* display, int count, int message_line)
      : display_(count > 16 ? display : nullptr) {
    if (display_) display_->Show(count, message_line);
  }
  // A run that can be stopped, with its own label; its panel shows whatever the count.
  ProgressRun(ProgressDisplay* display, int count, const std::string& label) : display_(display) {
    if (display_) display_->ShowText(count, label);
  }
  ~ProgressRun() {
    if (display_) display_->Hide();
  }
  ProgressRun(const ProgressRun&) = delete;
  ProgressRun& operator=(const ProgressRun&) = delete;

  // After each entry drawn.
  void Step() {
    ++counter_;
    if (display_ && counter_ % 16 == 0) display_->SetPosition(counter_);
  }
  // Moves the bar to `position` (a run that counts in its own steps).
  void MoveTo(int position) {
    if (display_) display_->SetPosition(position);
  }
  bool StopRequested() { return display_ && display_->StopRequested(); }

 private:
  ProgressDisplay* display_;
  int counter_ = 0;
};

}  // namespace zevo::base
