#pragma once

#include <QCursor>

namespace zevo::platform::qt {

// The program's cursor numbers.
inline constexpr int DRAV_NONE = 100;  // nothing visible: the ink itself shows where the pen is
inline constexpr int DRAV_POT = 101;   // a small dot
inline constexpr int DRAV_PEN = 102;   // a brush, its tip at the hot spot

inline constexpr int kCursorSide = 32;

// The cursor with that number; any other number gives the arrow. Built once, on first use,
// on the UI thread.
QCursor ProgramCursor(int number);

}  // namespace zevo::platform::qt
