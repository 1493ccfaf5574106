#include "platform/qt/bg_dialog_view.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

#include <array>

#include "platform/qt/dialog_widgets.h"
#include "seals/bg_dialog.h"

namespace zevo::platform::qt {

namespace {

using seals::BGPage;
using seals::TBGDialog;

using dialog::Q;
// The window's close button only closes, so the controls keep what the writer set.
using BGDialogWidget = dialog::CancelOnEscape;

QLabel* FileLabel(QWidget* parent, int x, int y) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(x, y, 270 - x, 17);
  return label;
}

}  // namespace

bool ShowBGDialog(QtUi& ui, DialogModel& model, QWidget* parent) {
  auto& m = static_cast<TBGDialog&>(model);
  m.FormActivate();

  BGDialogWidget dialog(parent);
  dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setWindowTitle(Q(m.texts.caption));
  dialog.setFixedSize(409, 192);

  auto* group = new QGroupBox(Q(m.texts.group_box1), &dialog);
  group->setGeometry(8, 8, 105, 140);
  std::array<QRadioButton*, 3> kinds{};
  for (int i = 0; i < 3; ++i) {
    kinds[std::size_t(i)] = new QRadioButton(Q(m.texts.radio_kind[i]), group);
    kinds[std::size_t(i)]->setGeometry(12, 26 + i * 36, 88, 20);
  }

  auto* pages = new QStackedWidget(&dialog);  // PageControl1: flat, no tabs
  pages->setGeometry(120, 8, 281, 140);
  pages->addWidget(new QWidget(pages));
  auto* sheet1 = new QWidget(pages);
  auto* sheet2 = new QWidget(pages);
  pages->addWidget(sheet1);
  pages->addWidget(sheet2);

  auto* load_texture = new QPushButton(Q(m.texts.load), sheet1);  // Button2
  load_texture->setGeometry(8, 10, 75, 25);
  QLabel* texture_name = FileLabel(sheet1, 92, 14);  // StaticText2

  auto* load_image = new QPushButton(Q(m.texts.load), sheet2);  // Button1
  load_image->setGeometry(8, 10, 75, 25);
  QLabel* image_name = FileLabel(sheet2, 92, 14);  // StaticText1
  auto* transparent = new QLabel(Q(m.texts.label1), sheet2);
  transparent->setGeometry(8, 48, 80, 17);
  auto* combo = new QComboBox(sheet2);
  for (const char* item : seals::kTransparencyItems) combo->addItem(QString::fromUtf8(item));
  combo->setGeometry(92, 44, 80, 24);
  std::array<QRadioButton*, 4> fits{};
  for (int tag = 0; tag < 4; ++tag) {
    fits[std::size_t(tag)] = new QRadioButton(Q(m.texts.radio_fit[tag]), sheet2);
    fits[std::size_t(tag)]->setGeometry(8 + (tag % 2) * 132, 80 + (tag / 2) * 28, 128, 20);
  }

  auto* ok = new QPushButton(Q(m.texts.ok), &dialog);
  ok->setGeometry(238, 158, 75, 25);
  ok->setDefault(true);
  auto* cancel = new QPushButton(Q(m.texts.cancel), &dialog);
  cancel->setGeometry(324, 158, 75, 25);
  dialog.cancel = cancel;

  // The controls as the model has them.
  auto sync = [&] {
    if (m.kind_button >= 0 && m.kind_button < 3)
      kinds[std::size_t(m.kind_button)]->setChecked(true);
    pages->setCurrentIndex(m.page == BGPage::kTabSheet1 ? 1 : m.page == BGPage::kTabSheet2 ? 2 : 0);
    texture_name->setText(Q(m.static_text2));
    image_name->setText(Q(m.static_text1));
    if (m.combo_box1_index >= 0 && m.combo_box1_index < combo->count())
      combo->setCurrentIndex(m.combo_box1_index);
    if (m.fit_button >= 0 && m.fit_button < 4) fits[std::size_t(m.fit_button)]->setChecked(true);
  };
  sync();

  QObject::connect(kinds[0], &QRadioButton::clicked, [&] {
    m.RadioButton1Click();
    sync();
  });
  QObject::connect(kinds[1], &QRadioButton::clicked, [&] {
    m.RadioButton2Click();
    sync();
  });
  QObject::connect(kinds[2], &QRadioButton::clicked, [&] {
    m.RadioButton3Click();
    sync();
  });
  for (int tag = 0; tag < 4; ++tag)
    QObject::connect(fits[std::size_t(tag)], &QRadioButton::clicked,
                     [&m, tag] { m.FitButtonClick(tag); });
  QObject::connect(combo, &QComboBox::activated, [&m](int index) { m.ComboBox1Change(index); });
  // The open dialog comes up over this dialog, then the Ui goes back to the main window.
  auto load = [&](void (TBGDialog::*handler)(Ui&)) {
    ui.SetParent(&dialog);
    (m.*handler)(ui);
    ui.SetParent(parent);
    sync();
  };
  QObject::connect(load_texture, &QPushButton::clicked, [&] { load(&TBGDialog::Button2Click); });
  QObject::connect(load_image, &QPushButton::clicked, [&] { load(&TBGDialog::Button1Click); });
  QObject::connect(ok, &QPushButton::clicked, [&] {
    m.OKBtnClick();
    dialog.accept();
  });
  QObject::connect(cancel, &QPushButton::clicked, [&] {
    m.CancelBtnClick();
    dialog.reject();
  });

  return dialog.exec() == QDialog::Accepted;
}

void RegisterBGDialogView(QtUi& ui) {
  ui.RegisterDialogView("TBGDialog", [&ui](DialogModel& model, QWidget* parent) {
    return ShowBGDialog(ui, model, parent);
  });
}

}  // namespace zevo::platform::qt
