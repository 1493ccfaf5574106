#include "platform/qt/stamp_dlg_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "gfx/bmp_file.h"
#include "seals/stamp_dlg.h"
#include "tests/platform/when_modal.h"
#include "tests/settings/test_support.h"

namespace zevo::platform::qt {
namespace {

using seals::TStampDlg;
using settings::testing::MemoryStore;
using settings::testing::TempDir;
using test::WhenModal;

void Save(const gfx::Bitmap24& b, const std::string& path) {
  std::string error;
  ASSERT_TRUE(gfx::SaveBmpFile(b, path, &error)) << error;
}

// Runs `act` on the message box as soon as one is open over the dialog.
void WhenMessageBox(std::function<void(QMessageBox*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(box);
    }
  });
  timer->start();
}

// The pictures in a scroll box, in the order they were made.
QList<QWidget*> Pictures(QWidget* dialog, const char* box_name) {
  auto* box = dialog->findChild<QScrollArea*>(QString::fromLatin1(box_name));
  if (box == nullptr || box->widget() == nullptr) return {};
  return box->widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

void Click(QWidget* w, QPoint at) {
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
}

class StampDlgView : public ::testing::Test {
 protected:
  StampDlgView() {
    std::filesystem::create_directories(program / "Skin");
    std::filesystem::create_directories(program / "Stamp");
    Save(gfx::Bitmap24(488, 427, gfx::Rgb(220, 210, 190)), program / "Skin/S_Gnd.bmp");
    Save(gfx::Bitmap24(80, 40, gfx::Rgb(200, 0, 0)), program / "Stamp/a.bmp");
    Save(gfx::Bitmap24(25, 50, gfx::Rgb(0, 0, 200)), program / "Stamp/b.bmp");
    Save(gfx::Bitmap24(50, 50, gfx::Rgb(0, 200, 0)), program / "Stamp/c.bmp");
    auto created = TStampDlg::Create(store, program.Folder(), nullptr);
    EXPECT_TRUE(created.Ok()) << created.ErrorText();
    if (created) model = std::move(created).Value();
    RegisterStampDlgView(ui);
  }

  TempDir program;
  MemoryStore store;
  std::unique_ptr<TStampDlg> model;
  QtUi ui{nullptr, QStringLiteral("Zevo")};
  test::CloseModalsOnFailure guard;
};

TEST_F(StampDlgView, TheWindowHoldsItsPartsWhereTheSkinHasThem) {
  ASSERT_NE(model, nullptr);
  WhenModal([](QWidget* w) {
    EXPECT_EQ(w->size(), QSize(488, 427));
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("選取印章"));
    auto* box1 = w->findChild<QScrollArea*>(QStringLiteral("ScrollBox1"));
    auto* box2 = w->findChild<QScrollArea*>(QStringLiteral("ScrollBox2"));
    ASSERT_NE(box1, nullptr);
    ASSERT_NE(box2, nullptr);
    EXPECT_EQ(box1->geometry(), QRect(13, 38, 367, 199));
    EXPECT_EQ(box2->geometry(), QRect(13, 243, 367, 169));
    EXPECT_EQ(box1->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(box1->widget()->palette().color(QPalette::Window), QColor(Qt::white));
    auto* stamp = w->findChild<QWidget*>(QStringLiteral("ImageStamp"));
    ASSERT_NE(stamp, nullptr);
    EXPECT_EQ(stamp->geometry(), QRect(394, 49, 75, 75));

    const QList<QWidget*> thumbs = Pictures(w, "ScrollBox1");
    ASSERT_EQ(thumbs.size(), 3);
    EXPECT_EQ(thumbs[0]->geometry(), QRect(4, 4, 50, 25));
    EXPECT_EQ(thumbs[1]->geometry(), QRect(60, 4, 25, 50));
    EXPECT_EQ(thumbs[2]->geometry(), QRect(91, 4, 50, 50));
    // The skin is painted under the parts, the thumbnails stretched.
    const QImage shot = w->grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(220, 210, 190));
    EXPECT_EQ(shot.pixelColor(13 + 4 + 25, 38 + 4 + 12), QColor(200, 0, 0));
    EXPECT_EQ(shot.pixelColor(13 + 200, 38 + 150), QColor(Qt::white));
    // The first stamp is the preview.
    auto* preview = w->findChild<QWidget*>(QStringLiteral("Preview"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->geometry(), QRect(8, 8, 40, 20));
    EXPECT_EQ(shot.pixelColor(13 + 8 + 20, 243 + 8 + 10), QColor(200, 0, 0));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &escape);
  });
  model->result = nullptr;
  EXPECT_FALSE(ui.ShowModal(*model));
  EXPECT_EQ(model->result, nullptr);
}

TEST_F(StampDlgView, ClicksPickTurnResizeAndChoose) {
  ASSERT_NE(model, nullptr);
  WhenModal([this](QWidget* w) {
    const QList<QWidget*> thumbs = Pictures(w, "ScrollBox1");
    ASSERT_EQ(thumbs.size(), 3);
    Click(thumbs[1], QPoint(5, 5));
    auto* preview = w->findChild<QWidget*>(QStringLiteral("Preview"));
    EXPECT_EQ(preview->geometry(), QRect(8, 8, 20, 40));
    Click(w->findChild<QWidget*>(QStringLiteral("ImageStamp")), QPoint(30, 30));
    EXPECT_EQ(model->turn, 1);
    Click(w, QPoint(430, 330));  // larger
    EXPECT_EQ(model->preview_size, 50);
    EXPECT_EQ(preview->geometry(), QRect(8, 8, 25, 50));
    Click(w, QPoint(430, 100));  // no hot area: still open
    EXPECT_TRUE(w->isVisible());
    Click(w, QPoint(430, 170));  // choose
  });
  model->result = nullptr;
  EXPECT_TRUE(ui.ShowModal(*model));
  ASSERT_NE(model->result, nullptr);
  EXPECT_EQ(model->result->Width(), 50);  // the 25 x 50 stamp, turned
  EXPECT_EQ(model->placed_width, 50.0f);
  EXPECT_EQ(model->placed_height, 25.0f);

  // A click on the preview chooses it too; the turn and size stayed.
  WhenModal([](QWidget* w) {
    auto* preview = w->findChild<QWidget*>(QStringLiteral("Preview"));
    EXPECT_EQ(preview->geometry(), QRect(8, 8, 25, 50));
    Click(preview, QPoint(3, 3));
  });
  model->result = nullptr;
  EXPECT_TRUE(ui.ShowModal(*model));
  EXPECT_NE(model->result, nullptr);

  // The close area closes without one.
  WhenModal([](QWidget* w) { Click(w, QPoint(430, 210)); });
  model->result = nullptr;
  EXPECT_FALSE(ui.ShowModal(*model));
  EXPECT_EQ(model->result, nullptr);
}

TEST_F(StampDlgView, SkippedStampsAreToldInOneMessageOverTheWindow) {
  ASSERT_NE(model, nullptr);
  settings::testing::WriteFile(program / "Stamp/broken.bmp", "BMxx");
  settings::testing::WriteFile(program / "Stamp/empty.BMP", "");
  QString told;
  WhenMessageBox([&told](QMessageBox* box) {
    told = box->text();
    EXPECT_NE(box->parentWidget(), nullptr);
    WhenModal([](QWidget* w) {
      EXPECT_EQ(Pictures(w, "ScrollBox1").size(), 3);
      Click(w, QPoint(430, 210));
    });
    box->accept();
  });
  model->result = nullptr;
  EXPECT_FALSE(ui.ShowModal(*model));
  EXPECT_TRUE(told.contains(QStringLiteral("broken.bmp"))) << told.toStdString();
  EXPECT_TRUE(told.contains(QStringLiteral("empty.BMP"))) << told.toStdString();
}

}  // namespace
}  // namespace zevo::platform::qt
