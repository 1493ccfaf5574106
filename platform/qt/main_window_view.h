#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "app/zevo3_win.h"

namespace zevo::platform::qt {

class QtTabletDriver;

// The window that hosts the toolkit-free main window: it paints the core's components in
// their order, hit-tests the mouse into the core's handlers, turns pen and mouse input into
// tablet packets, and runs the two timers. Everything it shows it takes from TZevo3Win.
class MainWindowView : public QWidget {
 public:
  MainWindowView(app::TZevo3Win& win, QtTabletDriver& tablet);

  // Brings the window up to date with the core after a handler ran.
  void Sync();

  // Lets the event loop paint what waits during work that can be stopped, holding back every
  // input; true when the writer pressed Esc, clicked, touched with the pen or closed the window.
  bool PollStopRequest();
  // Whether such work is letting the event loop run (no command may start now).
  bool InWork() const { return in_work_; }

  // Told at the end of each paint with the rectangle the paint event asked for (benchmarks and
  // tests watch what is painted when).
  std::function<void(const QRect&)> on_painted;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void tabletEvent(QTabletEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // Whether a point lies on the writing area or the calibration target.
  bool OnPage(QPoint p) const;
  // Runs a core handler at the command boundary: an error it raises is shown, not fatal.
  template <class F>
  void Guard(F&& f);
  void UpdateCursor(QPoint p);
  // Paints what lies in the rectangle (client pixels).
  void PaintWindow(const QRect& window_area);
  // A rectangle of the workspace in client pixels.
  QRect OnWindow(const gfx::Rect& workspace_rect) const;

  app::TZevo3Win& win_;
  QtTabletDriver& tablet_;
  QTimer timer1_;
  QTimer timer2_;
  bool activated_ = false;
  bool in_work_ = false;
};

}  // namespace zevo::platform::qt
