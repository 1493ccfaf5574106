#include "platform/qt/stamp_dlg_view.h"

#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "platform/qt/bitmap_image.h"
#include "platform/qt/dialog_widgets.h"
#include "seals/stamp_dlg.h"

namespace zevo::platform::qt {

namespace {

using seals::TStampDlg;

QRect ToQRect(const gfx::Rect& r) {
  return QRect(r.left, r.top, r.Width(), r.Height());
}

// A picture stretched to `size`, smoothed: stamps are shrunk a lot for their thumbnails.
QImage Stretched(const gfx::Bitmap24& picture, int width, int height) {
  if (picture.Empty() || width <= 0 || height <= 0) return {};
  return WrapBitmap(picture).scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A picture that runs `click` on a left-button release inside it.
class ClickPicture : public QWidget {
 public:
  ClickPicture(QWidget* parent, std::function<void()> click)
      : QWidget(parent), click_(std::move(click)) {
    setCursor(Qt::PointingHandCursor);
  }
  void SetImage(QImage image) {
    image_ = std::move(image);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(rect(), image_);
  }
  void mousePressEvent(QMouseEvent* event) override { event->accept(); }
  void mouseReleaseEvent(QMouseEvent* event) override {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) click_();
  }

 private:
  std::function<void()> click_;
  QImage image_;
};

// The window: the skin under everything, mouse releases on it go to the model's hot areas.
class StampDialogWidget : public QDialog {
 public:
  StampDialogWidget(QWidget* parent, const gfx::Bitmap24& skin)
      : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), skin_(WrapBitmap(skin).copy()) {}
  std::function<void(QPoint)> released;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.drawImage(0, 0, skin_);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && released) {
      released(event->position().toPoint());
      return;
    }
    QDialog::mouseReleaseEvent(event);
  }

 private:
  QImage skin_;
};

// ScrollBox1 and ScrollBox2: white and flat.
QScrollArea* WhiteBox(QWidget* parent, const gfx::Rect& place, QWidget*& content) {
  auto* box = new QScrollArea(parent);
  box->setGeometry(ToQRect(place));
  box->setFrameShape(QFrame::NoFrame);
  box->setWidgetResizable(false);
  QPalette white = box->palette();
  white.setColor(QPalette::Window, Qt::white);
  box->setPalette(white);
  box->viewport()->setPalette(white);
  box->viewport()->setAutoFillBackground(true);
  content = new QWidget;
  content->setPalette(white);
  content->setAutoFillBackground(true);
  box->setWidget(content);
  return box;
}

// The content reaches `right` x `bottom`, with the margin the placement starts with; never
// smaller than the visible part, so the white fills the box.
void SizeContent(QScrollArea* box, QWidget* content, int right, int bottom, int margin) {
  content->resize(std::max(right + margin, box->viewport()->width()),
                  std::max(bottom + margin, box->viewport()->height()));
}

void CentreOnParent(QWidget& dialog, QWidget* parent) {
  if (parent == nullptr || !parent->isVisible()) {
    dialog::CentreOnScreen(dialog, parent);
    return;
  }
  const QPoint centre = parent->mapToGlobal(parent->rect().center());
  dialog.move(centre.x() - dialog.width() / 2, centre.y() - dialog.height() / 2);
}

}  // namespace

bool ShowStampDlg(QtUi& ui, DialogModel& model, QWidget* parent) {
  auto& m = static_cast<TStampDlg&>(model);
  m.FormActivate();

  StampDialogWidget dialog(parent, m.skin);
  dialog.setWindowTitle(QString::fromUtf8(seals::kStampCaption));
  dialog.setFixedSize(seals::kStampDlgWidth, seals::kStampDlgHeight);
  CentreOnParent(dialog, parent);

  auto finish = [&] { m.result != nullptr ? dialog.accept() : dialog.reject(); };

  // ScrollBox1: the thumbnails.
  QWidget* thumbs = nullptr;
  QScrollArea* box1 = WhiteBox(&dialog, seals::kScrollBox1, thumbs);
  box1->setObjectName(QStringLiteral("ScrollBox1"));
  int right = 0, bottom = 0;

  // ScrollBox2: the preview.
  QWidget* preview_area = nullptr;
  QScrollArea* box2 = WhiteBox(&dialog, seals::kScrollBox2, preview_area);
  box2->setObjectName(QStringLiteral("ScrollBox2"));
  auto* preview = new ClickPicture(preview_area, [&] {
    m.PreviewClick();
    if (m.closed) finish();
  });
  preview->setObjectName(QStringLiteral("Preview"));
  auto sync_preview = [&] {
    if (!m.preview) {
      preview->hide();
      SizeContent(box2, preview_area, 0, 0, 0);
      return;
    }
    const TStampDlg::Preview& p = *m.preview;
    preview->setGeometry(seals::kPreviewLeft, seals::kPreviewTop, p.width, p.height);
    preview->SetImage(Stretched(p.picture, p.width, p.height));
    preview->show();
    SizeContent(box2, preview_area, seals::kPreviewLeft + p.width, seals::kPreviewTop + p.height,
                seals::kPreviewLeft);
  };

  for (std::size_t i = 0; i < m.thumbnails.size(); ++i) {
    const TStampDlg::Thumbnail& t = m.thumbnails[i];
    auto* picture = new ClickPicture(thumbs, [&m, &sync_preview, i] {
      m.ThumbnailClick(int(i));
      sync_preview();
    });
    picture->setGeometry(t.left, t.top, t.width, t.height);
    picture->SetImage(Stretched(t.picture, t.width, t.height));
    picture->setToolTip(QString::fromStdString(t.path).section(QLatin1Char('/'), -1, -1,
                                                               QString::SectionSkipEmpty));
    right = std::max(right, t.left + t.width);
    bottom = std::max(bottom, t.top + t.height);
  }
  SizeContent(box1, thumbs, right, bottom, 4);
  sync_preview();

  // ImageStamp: the turn indicator.
  ClickPicture* stamp = nullptr;
  stamp = new ClickPicture(&dialog, [&] {
    m.ImageStampClick();
    const gfx::Bitmap24& indicator = m.indicators[std::size_t(m.turn & 3)];
    stamp->SetImage(Stretched(indicator, stamp->width(), stamp->height()));
  });
  stamp->setObjectName(QStringLiteral("ImageStamp"));
  stamp->setGeometry(ToQRect(seals::kImageStamp));
  stamp->SetImage(
      Stretched(m.indicators[std::size_t(m.turn & 3)], stamp->width(), stamp->height()));

  dialog.released = [&](QPoint at) {
    const bool closes = m.FormMouseUp(at.x(), at.y());
    sync_preview();
    if (closes) finish();
  };

  // The stamps that were skipped, told once when the window is up.
  const std::string errors = m.ErrorMessage();
  if (!errors.empty()) {
    QTimer::singleShot(0, &dialog, [&ui, &dialog, parent, errors] {
      ui.SetParent(&dialog);
      ui.MessageBox(errors);
      ui.SetParent(parent);
    });
  }

  dialog.exec();
  return m.result != nullptr && dialog.result() == QDialog::Accepted;
}

void RegisterStampDlgView(QtUi& ui) {
  ui.RegisterDialogView("TStampDlg", [&ui](DialogModel& model, QWidget* parent) {
    return ShowStampDlg(ui, model, parent);
  });
}

}  // namespace zevo::platform::qt
