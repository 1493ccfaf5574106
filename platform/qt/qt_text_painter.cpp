#include "platform/qt/qt_text_painter.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include "platform/qt/bitmap_image.h"

namespace zevo::platform::qt {

QtTextPainter::QtTextPainter(QString family) : family_(std::move(family)) {}

QFont QtTextPainter::FontFor(const TextStyle& style) const {
  QFont font = family_.isEmpty() ? QGuiApplication::font() : QFont(family_);
  font.setPixelSize(style.pixel_size > 0 ? style.pixel_size : 1);
  font.setBold(style.bold);
  return font;
}

void QtTextPainter::DrawText(gfx::Bitmap24& target, int x, int y, const std::string& text,
                             const TextStyle& style) {
  if (target.Empty() || text.empty()) return;
  QImage image = WrapBitmap(target);
  QPainter painter(&image);
  const QFont font = FontFor(style);
  painter.setFont(font);
  painter.setPen(
      QColor(gfx::RedOf(style.color), gfx::GreenOf(style.color), gfx::BlueOf(style.color)));
  // The box's top is at y; the baseline is one ascent below it.
  painter.drawText(QPointF(x, y + QFontMetrics(font).ascent()),
                   QString::fromUtf8(text.data(), qsizetype(text.size())));
}

TextSize QtTextPainter::MeasureText(const std::string& text, const TextStyle& style) {
  const QFontMetrics metrics(FontFor(style));
  return {metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))),
          metrics.height()};
}

}  // namespace zevo::platform::qt
