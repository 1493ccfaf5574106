#include "platform/qt/options_dlg_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "platform/qt/bitmap_image.h"
#include "settings/options_dlg.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "tests/platform/when_modal.h"
#include "tests/settings/test_support.h"

namespace zevo::platform::qt {
namespace {

using settings::TFormCfg;
using test::WhenModal;

// The options dialog as the writer meets it: controls found by their texts or their group.
struct OptionsDialog {
  explicit OptionsDialog(QWidget* w) : window(w) {}

  QGroupBox* Group(const char* title) const {
    for (QGroupBox* g : window->findChildren<QGroupBox*>())
      if (g->title() == QString::fromUtf8(title)) return g;
    return nullptr;
  }
  template <class T>
  T* In(const char* title) const {
    QGroupBox* g = Group(title);
    return g == nullptr ? nullptr : g->findChild<T*>(QString(), Qt::FindDirectChildrenOnly);
  }
  template <class T>
  T* Named(const char* text) const {
    for (T* b : window->findChildren<T*>())
      if (b->text() == QString::fromUtf8(text)) return b;
    return nullptr;
  }
  QPushButton* Button(const char* text) const { return Named<QPushButton>(text); }
  QRadioButton* Radio(const char* text) const { return Named<QRadioButton>(text); }
  QLabel* Label(const char* name) const { return window->findChild<QLabel*>(name); }
  QLineEdit* FolderBox(const char* label) const {
    QLabel* l = Named<QLabel>(label);
    return l == nullptr ? nullptr : qobject_cast<QLineEdit*>(l->buddy());
  }

  QWidget* window;
};

class OptionsDlgView : public ::testing::Test {
 protected:
  OptionsDlgView() { RegisterOptionsDlgView(ui); }
  bool Show(TFormCfg& model, std::function<void(const OptionsDialog&)> act) {
    WhenModal([act](QWidget* w) { act(OptionsDialog(w)); });
    return ui.ShowModal(model);
  }

  settings::testing::MemoryStore store;
  QtUi ui{nullptr, QStringLiteral("Zevo")};
  test::CloseModalsOnFailure rescue;
};

TEST_F(OptionsDlgView, ShowsTheStoredValuesInItsGroupsAndEscapeExitsWritingNothing) {
  settings::WriteSettingInt(store, settings::kPrintScale, 200);
  settings::WriteSettingInt(store, settings::kReplayRate, 5);
  settings::WriteSettingInt(store, settings::kPenExRatio, 20);
  settings::WriteSettingText(store, settings::kStampPath, "/seals/");
  TFormCfg model(store, "/nowhere/");
  const auto before = store.values;
  EXPECT_FALSE(Show(model, [](const OptionsDialog& d) {
    EXPECT_EQ(d.window->windowTitle(), QStringLiteral("Zevo 3.0 Option"));
    EXPECT_EQ(d.window->size(), QSize(579, 564));
    // The mapping group and the skin, texture and background rows stay hidden.
    ASSERT_NE(d.Group("Cursor mapping"), nullptr);
    EXPECT_FALSE(d.Group("Cursor mapping")->isVisible());
    ASSERT_NE(d.Group("Pen cursor style"), nullptr);
    EXPECT_TRUE(d.Group("Pen cursor style")->isVisible());
    ASSERT_NE(d.FolderBox("Skin"), nullptr);
    EXPECT_FALSE(d.FolderBox("Skin")->isVisible());
    EXPECT_FALSE(d.FolderBox("Texture")->isVisible());
    EXPECT_FALSE(d.FolderBox("Background")->isVisible());
    EXPECT_TRUE(d.FolderBox("Stamp")->isVisible());
    EXPECT_EQ(d.FolderBox("Stamp")->text(), QStringLiteral("/seals/"));
    EXPECT_EQ(d.FolderBox("Stroke")->text(), QStringLiteral("<default>"));
    EXPECT_TRUE(d.Radio("6400% (>= A1)")->isChecked());
    EXPECT_TRUE(d.Radio("Point")->isChecked());
    auto* replay = d.In<QComboBox>("Stroke replay rate");
    ASSERT_NE(replay, nullptr);
    EXPECT_EQ(replay->count(), 6);
    EXPECT_EQ(replay->currentText(), QStringLiteral("Faster"));
    EXPECT_EQ(d.Label("StaticText1")->text(), QStringLiteral("0.40 %"));
    EXPECT_EQ(d.In<QLineEdit>("Author Information")->text(), QStringLiteral("Unregisted"));
    EXPECT_TRUE(d.In<QLineEdit>("Author Information")->isReadOnly());
    // Edits, typing into a folder box, then Escape: Exit.
    d.Radio("None")->click();
    d.In<QSlider>("Pen brush setting")->setValue(90);
    QTest::keyClicks(d.FolderBox("Stroke"), "/typed");
    QTest::keyClick(d.window, Qt::Key_Escape);
  }));
  EXPECT_FALSE(model.accepted);
  EXPECT_EQ(model.edits[TFormCfg::kSave], "<default>/typed");
  EXPECT_TRUE(model.values.folders[TFormCfg::kSave].empty());
  EXPECT_EQ(store.values, before);
}

TEST_F(OptionsDlgView, ControlsChangeTheCopyAndAcceptStoresIt) {
  TFormCfg model(store, "/nowhere/");
  EXPECT_TRUE(Show(model, [&model](const OptionsDialog& d) {
    d.Radio("1600% (<= A4)")->click();
    d.Radio("Pen")->click();
    auto* ratio = d.In<QSlider>("Pen brush setting");
    ASSERT_NE(ratio, nullptr);
    ratio->setValue(50);
    EXPECT_EQ(d.Label("StaticText1")->text(), QStringLiteral("1.00 %"));
    auto* extension = d.In<QComboBox>("Pen brush setting");
    ASSERT_NE(extension, nullptr);
    extension->setCurrentIndex(5);
    emit extension->activated(5);
    d.In<QCheckBox>("Pen brush setting")->click();  // contour off

    auto* range = d.In<QSlider>("Prs. Senstive");
    ASSERT_NE(range, nullptr);
    range->setValue(300);
    EXPECT_EQ(model.values.prs_min, 0);  // the bar alone changes nothing
    d.Button("Min")->click();
    EXPECT_EQ(model.values.prs_min, 300);
    EXPECT_EQ(model.track_bar2.selection_start, 300);

    // The curve follows gamma.
    auto* image = d.Label("Image1");
    ASSERT_NE(image, nullptr);
    const QImage before = image->pixmap().toImage();
    EXPECT_EQ(before.size(), QSize(64, 64));
    d.In<QSlider>("Prs. Gamma")->setValue(512);
    const QImage after = image->pixmap().toImage();
    EXPECT_NE(before, after);
    EXPECT_EQ(after.convertToFormat(QImage::Format_BGR888),
              WrapBitmap(std::as_const(model.image1)));

    // Undo brings the stored values back into the controls.
    d.Button("Undo")->click();
    EXPECT_EQ(ratio->value(), 0);
    EXPECT_TRUE(d.Radio("3600% (<= A1)")->isChecked());
    EXPECT_EQ(d.In<QSlider>("Prs. Gamma")->value(), 0);
    d.Radio("1600% (<= A4)")->click();
    ratio->setValue(50);
    d.Button("Accept")->click();
  }));
  EXPECT_TRUE(model.accepted);
  EXPECT_EQ(settings::ReadSettingInt(store, settings::kPrintScale, 0), 100);
  EXPECT_EQ(settings::ReadSettingInt(store, settings::kPenExRatio, 0), 50);
  EXPECT_EQ(settings::ReadSettingInt(store, settings::kTabletPrsMin, -1), 0);
  EXPECT_EQ(settings::ReadSettingText(store, settings::kStampPath, "?"), "?");
}

}  // namespace
}  // namespace zevo::platform::qt
