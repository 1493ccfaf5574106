#include "platform/qt/save_stk_dlg_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <cstring>

#include "files/save_rules.h"
#include "files/save_stk_dlg.h"
#include "files/stroke_file.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "settings/text_format.h"
#include "tests/platform/when_modal.h"
#include "tests/settings/test_support.h"

namespace zevo::platform::qt {
namespace {

using files::TSaveStkDlg;
using test::WhenModal;

// A codec whose file is the tag, 16 bytes and the plain layout: the size follows the
// sampling step.
std::int32_t StoreEncode(std::int32_t, const std::uint8_t* input, std::int32_t length,
                         std::uint8_t* output, std::int32_t* output_length, const std::uint8_t*) {
  const std::int32_t needed = length + 20;
  if (output == nullptr) {
    *output_length = needed;
    return 0;
  }
  if (*output_length < needed) return 2;
  std::memset(output, 0, 20);
  std::memcpy(output, "zvRD", 4);
  std::memcpy(output + 20, input, std::size_t(length));
  *output_length = needed;
  return 0;
}

template <class T>
T* Named(QWidget* dialog, const char* text) {
  for (T* w : dialog->findChildren<T*>())
    if (w->text() == QString::fromUtf8(text)) return w;
  return nullptr;
}

class SaveStkDlgView : public ::testing::Test {
 protected:
  SaveStkDlgView() : document(1024, 718), codec(files::CodecFunctions{nullptr, StoreEncode}) {
    RegisterSaveStkDlgView(ui);
    for (int i = 0; i < 3000; ++i)
      document.AddSample(100.0f + float(i % 500), 200.0f + float(i / 500),
                         i % 100 == 99 ? 0.0f : 3.0f);
  }
  // The size text of the file at step s, encoded here.
  std::string SizeAt(int s) {
    auto bytes = files::EncodeStrokeFile(document, s, "pw", "Wang", codec);
    EXPECT_TRUE(bytes.Ok());
    return settings::FormatByteSize(double(bytes.Value().size()));
  }
  static QString Sizes(const std::string& size) {
    return QString::fromStdString("Quality of Sampling (Size:" + size + " - " + size + ")");
  }

  settings::testing::MemoryStore store;
  ink::StrokeDocument document;
  files::CodecBinding codec;
  QtUi ui{nullptr, QStringLiteral("Zevo")};
  test::CloseModalsOnFailure rescue;
};

TEST_F(SaveStkDlgView, TheTrackBarChoosesTheStepAndTheBoxesTheProtection) {
  settings::WriteSettingText(store, settings::kAuthor, "Wang");
  TSaveStkDlg model(store, "/nowhere/");
  model.SetDocument(&document, &codec, "pw", "Wang");
  const std::string full = SizeAt(1), quarter = SizeAt(4);
  ASSERT_NE(full, quarter);

  WhenModal([&](QWidget* w) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Save Options"));
    auto* track = w->findChild<QSlider*>();
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->value(), 3);
    auto* sampling = qobject_cast<QGroupBox*>(track->parentWidget());
    EXPECT_EQ(sampling->title(), Sizes(full));
    // The positions' labels lie under the track bar, left to right.
    int x = 0;
    for (const char* text : files::kSamplingLabels) {
      QLabel* label = Named<QLabel>(w, text);
      ASSERT_NE(label, nullptr) << text;
      EXPECT_GT(label->x(), x) << text;
      EXPECT_GE(label->y(), track->geometry().bottom()) << text;
      x = label->x();
    }
    EXPECT_FALSE(Named<QLabel>(w, "No author information to protect this file")->isVisible());

    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QApplication::sendEvent(track, &home);
    EXPECT_EQ(track->value(), 0);
    EXPECT_EQ(sampling->title(), Sizes(quarter));

    auto* may_open = Named<QCheckBox>(w, "Allow other user to open this file");
    auto* may_edit = Named<QCheckBox>(w, "Allow other user to edit this file");
    ASSERT_TRUE(may_open->isEnabled());
    ASSERT_TRUE(may_edit->isEnabled());
    EXPECT_TRUE(may_open->isChecked());
    EXPECT_TRUE(may_edit->isChecked());
    may_edit->click();
    Named<QPushButton>(w, "OK")->click();
  });
  EXPECT_TRUE(ui.ShowModal(model));
  EXPECT_EQ(model.sampling_step, 4);
  EXPECT_EQ(model.protection & files::kOthersMayOpen, files::kOthersMayOpen);
  EXPECT_EQ(model.protection & files::kOthersMayEdit, 0u);

  // Shown again: the choices are kept; Escape is Cancel.
  WhenModal([&](QWidget* w) {
    EXPECT_EQ(w->findChild<QSlider*>()->value(), 0);
    EXPECT_FALSE(Named<QCheckBox>(w, "Allow other user to edit this file")->isChecked());
    w->findChild<QSlider*>()->setValue(2);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &escape);
  });
  EXPECT_FALSE(ui.ShowModal(model));
  EXPECT_FALSE(model.accepted);
}

TEST_F(SaveStkDlgView, WithoutAnAuthorTheFileIsOpenToAllAndTheDialogSaysWhy) {
  TSaveStkDlg model(store, "/nowhere/");
  model.check_box2 = false;
  WhenModal([&](QWidget* w) {
    auto* may_open = Named<QCheckBox>(w, "Allow other user to open this file");
    auto* may_edit = Named<QCheckBox>(w, "Allow other user to edit this file");
    EXPECT_FALSE(may_open->isEnabled());
    EXPECT_FALSE(may_edit->isEnabled());
    EXPECT_TRUE(may_open->isChecked());
    EXPECT_TRUE(may_edit->isChecked());
    QLabel* why = Named<QLabel>(w, "No author information to protect this file");
    ASSERT_NE(why, nullptr);
    EXPECT_TRUE(why->isVisible());
    EXPECT_TRUE(why->font().bold());
    EXPECT_EQ(why->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // Without a document the size is 0.
    EXPECT_EQ(w->findChild<QSlider*>()->parentWidget()->property("title").toString(),
              Sizes("0Byte"));
    Named<QPushButton>(w, "OK")->click();
  });
  EXPECT_TRUE(ui.ShowModal(model));
  EXPECT_EQ(model.protection, 0xFFFFFFFFu);
}

}  // namespace
}  // namespace zevo::platform::qt
