#pragma once

#include <QFont>
#include <QString>

#include "platform/text_painter.h"

namespace zevo::platform::qt {

// Text with Qt's font machinery, straight into the bitmap's memory. Letters missing from the
// chosen family (CJK in a Latin face) come from the system's fallback fonts.
class QtTextPainter : public TextPainter {
 public:
  // An empty family means the application's default font.
  explicit QtTextPainter(QString family = {});

  void DrawText(gfx::Bitmap24& target, int x, int y, const std::string& text,
                const TextStyle& style) override;
  TextSize MeasureText(const std::string& text, const TextStyle& style) override;

 private:
  QFont FontFor(const TextStyle& style) const;
  QString family_;
};

}  // namespace zevo::platform::qt
