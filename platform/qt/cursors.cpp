#include "platform/qt/cursors.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zevo::platform::qt {

namespace {

QImage Blank() {
  QImage img(kCursorSide, kCursorSide, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

// A black dot in a white ring, so that it shows on ink and on paper alike.
QCursor MakePot() {
  QImage img = Blank();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(Qt::black);
  p.drawEllipse(QPointF(15.5, 15.5), 3.0, 3.0);
  p.end();
  return QCursor(QPixmap::fromImage(img), 15, 15);
}

// A writing brush held at a slant: bamboo handle to the upper right, bristles tapering to
// the tip at the lower left, which is the hot spot.
QCursor MakePen() {
  QImage img = Blank();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QPen outline(Qt::white, 1.2);

  // Handle.
  p.setPen(QPen(Qt::white, 5.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(12, 19), QPointF(29, 2));
  p.setPen(QPen(QColor(150, 100, 40), 3.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(12, 19), QPointF(29, 2));
  // Ferrule.
  p.setPen(QPen(Qt::white, 6.0, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(9.5, 21.5), QPointF(13, 18));
  p.setPen(QPen(QColor(90, 90, 90), 4.0, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(9.5, 21.5), QPointF(13, 18));
  // Bristles.
  QPainterPath tuft;
  tuft.moveTo(0.5, 30.5);
  tuft.cubicTo(QPointF(3, 24), QPointF(5, 21), QPointF(8, 19.5));
  tuft.lineTo(11, 22.5);
  tuft.cubicTo(QPointF(9.5, 25.5), QPointF(7, 28), QPointF(0.5, 30.5));
  p.setPen(outline);
  p.setBrush(Qt::black);
  p.drawPath(tuft);
  p.end();
  return QCursor(QPixmap::fromImage(img), 0, 31);
}

QCursor MakeNone() {
  return QCursor(QPixmap::fromImage(Blank()), 0, 0);
}

}  // namespace

QCursor ProgramCursor(int number) {
  static const QCursor none = MakeNone();
  static const QCursor pot = MakePot();
  static const QCursor pen = MakePen();
  switch (number) {
    case DRAV_NONE:
      return none;
    case DRAV_POT:
      return pot;
    case DRAV_PEN:
      return pen;
    default:
      return QCursor(Qt::ArrowCursor);
  }
}

}  // namespace zevo::platform::qt
