#include "platform/qt/options_dlg_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyleOptionSlider>

#include <array>
#include <functional>

#include "platform/qt/bitmap_image.h"
#include "platform/qt/dialog_widgets.h"
#include "settings/options_dlg.h"

namespace zevo::platform::qt {

namespace {

using dialog::Q;
using dialog::S;
using settings::TFormCfg;

// A horizontal bar that also marks a selected range below its groove, as the pressure range
// and the extension ratio show theirs.
class SelectionSlider : public QSlider {
 public:
  explicit SelectionSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

  void SetSelection(int start, int end) {
    if (start == start_ && end == end_) return;
    start_ = start;
    end_ = end;
    update();
  }
  int SelectionStart() const { return start_; }
  int SelectionEnd() const { return end_; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QSlider::paintEvent(event);
    if (end_ <= start_) return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    auto x = [&](int value) {
      return groove.x() + handle.width() / 2 +
             QStyle::sliderPositionFromValue(minimum(), maximum(), value, span);
    };
    QPainter painter(this);
    painter.fillRect(
        QRect(QPoint(x(start_), groove.bottom() + 2), QPoint(x(end_), groove.bottom() + 4)),
        palette().color(QPalette::Highlight));
  }

 private:
  int start_ = 0;
  int end_ = 0;
};

SelectionSlider* Bar(QWidget* parent, int minimum, int maximum, int ticks, QRect where) {
  auto* bar = new SelectionSlider(parent);
  bar->setRange(minimum, maximum);
  bar->setTickPosition(QSlider::TicksBelow);
  bar->setTickInterval(ticks);
  bar->setGeometry(where);
  return bar;
}

QGroupBox* Group(QWidget* parent, QRect where) {
  auto* group = new QGroupBox(parent);
  group->setGeometry(where);
  return group;
}

void SetText(QLineEdit* edit, const std::string& text) {
  const QString q = Q(text);
  if (edit->text() != q) edit->setText(q);
}

// One folder row: label, box, "Select..." button.
struct FolderRow {
  QLabel* label = nullptr;
  QLineEdit* edit = nullptr;
  QPushButton* button = nullptr;
};

}  // namespace

bool ShowOptionsDlg(QtUi& ui, DialogModel& model, QWidget* parent) {
  auto& m = static_cast<TFormCfg&>(model);
  m.FormActivate();

  dialog::CancelOnEscape dialog(parent);
  dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setFixedSize(579, 564);
  if (parent != nullptr)
    dialog.move(parent->geometry().center() - QPoint(579 / 2, 564 / 2));
  else
    dialog::CentreOnScreen(dialog, nullptr);

  // ---- Tablet group: cursor mapping (hidden), cursor style, pressure range, gamma, curve ----
  QGroupBox* tablet = Group(&dialog, {8, 8, 281, 372});  // GroupBox2
  QGroupBox* mapping = Group(tablet, {8, 20, 265, 48});  // GroupBox3
  mapping->setVisible(TFormCfg::kMappingVisible);
  std::array<QRadioButton*, 2> mappings{};  // RadioButton1, RadioButton3
  for (int tag = 0; tag < 2; ++tag) {
    mappings[std::size_t(tag)] = new QRadioButton(mapping);
    mappings[std::size_t(tag)]->setGeometry(10 + tag * 120, 20, 110, 20);
  }
  QGroupBox* cursor = Group(tablet, {8, 20, 265, 48});  // GroupBox4
  std::array<QRadioButton*, 3> cursors{};               // RadioButton5..7
  for (int tag = 0; tag < 3; ++tag) {
    cursors[std::size_t(tag)] = new QRadioButton(cursor);
    cursors[std::size_t(tag)]->setGeometry(10 + tag * 84, 20, 80, 20);
  }

  QGroupBox* range = Group(tablet, {8, 74, 265, 92});  // GroupBox8
  SelectionSlider* range_bar = Bar(range, 0, TFormCfg::kTrackBar2Max, 32, {8, 18, 249, 30});
  auto* range_high = new QLabel(range);
  range_high->setGeometry(8, 52, 60, 17);
  auto* range_low = new QLabel(range);
  range_low->setGeometry(197, 52, 60, 17);
  range_low->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* min_button = new QPushButton(range);  // Button9
  min_button->setGeometry(56, 60, 75, 25);
  auto* max_button = new QPushButton(range);  // Button10
  max_button->setGeometry(134, 60, 75, 25);

  QGroupBox* gamma = Group(tablet, {8, 172, 265, 92});  // GroupBox9
  SelectionSlider* gamma_bar =
      Bar(gamma, -TFormCfg::kTrackBar3Limit, TFormCfg::kTrackBar3Limit, 32, {8, 18, 249, 30});
  auto* gamma_high = new QLabel(gamma);
  gamma_high->setGeometry(8, 52, 60, 17);
  auto* gamma_low = new QLabel(gamma);
  gamma_low->setGeometry(197, 52, 60, 17);
  gamma_low->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* default_button = new QPushButton(gamma);  // Button11
  default_button->setGeometry(95, 60, 75, 25);

  QGroupBox* curve_group = Group(tablet, {8, 270, 265, 94});  // GroupBox10
  auto* curve = new QLabel(curve_group);                      // Image1
  curve->setObjectName(QStringLiteral("Image1"));
  curve->setGeometry((265 - TFormCfg::kCurveSize) / 2, 22, TFormCfg::kCurveSize,
                     TFormCfg::kCurveSize);

  // ---- Right column: print scale, replay rate, brush ----
  QGroupBox* print = Group(&dialog, {297, 8, 274, 100});  // GroupBox5
  std::array<QRadioButton*, 3> prints{};                  // RadioButton8..10
  for (int i = 0; i < 3; ++i) {
    prints[std::size_t(i)] = new QRadioButton(print);
    prints[std::size_t(i)]->setGeometry(12, 22 + i * 24, 250, 20);
  }
  constexpr int kPrintTags[3] = {100, 150, 200};

  QGroupBox* replay = Group(&dialog, {297, 114, 274, 58});  // GroupBox6
  auto* replay_list = new QComboBox(replay);                // ComboBox1
  replay_list->setGeometry(12, 22, 250, 24);

  QGroupBox* brush = Group(&dialog, {297, 178, 274, 202});  // GroupBox7
  auto* ratio_label = new QLabel(brush);
  ratio_label->setGeometry(12, 22, 250, 17);
  SelectionSlider* ratio_bar = Bar(brush, 0, TFormCfg::kTrackBar1Max, 1, {12, 42, 180, 30});
  auto* ratio_text = new QLabel(brush);  // StaticText1
  ratio_text->setObjectName(QStringLiteral("StaticText1"));
  ratio_text->setGeometry(198, 48, 64, 17);
  ratio_text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* maximum_label = new QLabel(brush);
  maximum_label->setGeometry(12, 84, 250, 17);
  auto* extension_list = new QComboBox(brush);  // ComboBox4
  for (const char* entry : TFormCfg::kExtensionEntries)
    extension_list->addItem(QString::fromUtf8(entry));
  extension_list->setGeometry(12, 104, 120, 24);
  auto* contour = new QCheckBox(brush);  // CheckBox1
  contour->setGeometry(12, 144, 250, 20);

  // ---- Folders: one row each; only the stamp and save rows are shown ----
  QGroupBox* folders = Group(&dialog, {8, 384, 563, 82});  // GroupBox1
  std::array<FolderRow, TFormCfg::kFolderCount> rows{};
  int shown_rows = 0;
  for (int f = 0; f < TFormCfg::kFolderCount; ++f) {
    const bool visible = TFormCfg::kFolderRowVisible[std::size_t(f)];
    const int y = 20 + 30 * (visible ? shown_rows++ : 0);
    FolderRow& row = rows[std::size_t(f)];
    row.edit = new QLineEdit(folders);
    row.edit->setGeometry(84, y, 382, 24);
    row.label = new QLabel(folders);
    row.label->setGeometry(10, y + 4, 70, 17);
    row.label->setBuddy(row.edit);
    row.button = new QPushButton(folders);
    row.button->setGeometry(474, y, 80, 24);
    for (QWidget* w : {static_cast<QWidget*>(row.label), static_cast<QWidget*>(row.edit),
                       static_cast<QWidget*>(row.button)})
      w->setVisible(visible);
  }

  // ---- Author ----
  QGroupBox* author_group = Group(&dialog, {8, 470, 563, 54});  // GroupBox11
  auto* author = new QLineEdit(author_group);                   // Edit6
  author->setGeometry(10, 20, 382, 24);
  author->setReadOnly(true);
  auto* change = new QPushButton(author_group);  // Button12
  change->setGeometry(474, 20, 80, 24);

  // ---- Bottom row ----
  auto* accept = new QPushButton(&dialog);  // Button4
  accept->setGeometry(330, 532, 75, 25);
  accept->setDefault(true);
  auto* undo = new QPushButton(&dialog);  // Button5
  undo->setGeometry(413, 532, 75, 25);
  auto* exit_button = new QPushButton(&dialog);  // Button6
  exit_button->setGeometry(496, 532, 75, 25);
  dialog.cancel = exit_button;

  // The texts, which a newly chosen skin can replace while the dialog is open.
  auto apply_texts = [&] {
    const auto& t = m.texts;
    dialog.setWindowTitle(Q(t[0]));
    tablet->setTitle(Q(t[1]));
    mapping->setTitle(Q(t[2]));
    mappings[0]->setText(Q(t[3]));
    mappings[1]->setText(Q(t[5]));
    cursor->setTitle(Q(t[7]));
    for (int i = 0; i < 3; ++i) cursors[std::size_t(i)]->setText(Q(t[8 + i]));
    print->setTitle(Q(t[11]));
    for (int i = 0; i < 3; ++i) prints[std::size_t(i)]->setText(Q(t[12 + i]));
    replay->setTitle(Q(t[15]));
    folders->setTitle(Q(t[22]));
    for (int f = 0; f < TFormCfg::kFolderCount; ++f) {
      rows[std::size_t(f)].label->setText(Q(t[TFormCfg::LabelLine(TFormCfg::Folder(f))]));
      rows[std::size_t(f)].button->setText(Q(t[26]));
    }
    accept->setText(Q(t[27]));
    undo->setText(Q(t[28]));
    exit_button->setText(Q(t[29]));
    brush->setTitle(Q(t[30]));
    ratio_label->setText(Q(t[31]));
    maximum_label->setText(Q(t[32]));
    contour->setText(Q(t[33]));
    curve_group->setTitle(Q(t[36]));
    range->setTitle(Q(t[37]));
    range_high->setText(Q(t[38]));
    range_low->setText(Q(t[39]));
    min_button->setText(Q(t[40]));
    max_button->setText(Q(t[41]));
    gamma->setTitle(Q(t[42]));
    gamma_high->setText(Q(t[43]));
    gamma_low->setText(Q(t[44]));
    default_button->setText(Q(t[45]));
    author_group->setTitle(Q(t[46]));
    change->setText(Q(t[47]));
  };

  // The controls as the model has them; setting them runs no handler.
  auto sync = [&] {
    const QSignalBlocker b1(replay_list), b2(extension_list), b3(ratio_bar), b4(range_bar),
        b5(gamma_bar), b6(contour);
    apply_texts();
    mappings[std::size_t(m.mapping_choice)]->setChecked(true);
    cursors[std::size_t(m.cursor_choice)]->setChecked(true);
    prints[std::size_t(m.print_choice)]->setChecked(true);
    QStringList entries;
    for (const std::string& e : m.replay_entries) entries << Q(e);
    QStringList shown;
    for (int i = 0; i < replay_list->count(); ++i) shown << replay_list->itemText(i);
    if (shown != entries) {
      replay_list->clear();
      replay_list->addItems(entries);
    }
    replay_list->setCurrentIndex(m.replay_index);
    extension_list->setCurrentIndex(m.extension_index);
    ratio_bar->setValue(m.track_bar1.position);
    ratio_bar->SetSelection(m.track_bar1.selection_start, m.track_bar1.selection_end);
    ratio_text->setText(Q(m.static_text1));
    range_bar->setValue(m.track_bar2.position);
    range_bar->SetSelection(m.track_bar2.selection_start, m.track_bar2.selection_end);
    gamma_bar->setValue(m.track_bar3.position);
    contour->setChecked(m.check_box1);
    for (int f = 0; f < TFormCfg::kFolderCount; ++f)
      SetText(rows[std::size_t(f)].edit, m.edits[std::size_t(f)]);
    SetText(author, m.edit6);
    curve->setPixmap(QPixmap::fromImage(WrapBitmap(std::as_const(m.image1)).copy()));
  };
  sync();

  // A handler, then the controls follow the model.
  auto handle = [&](const std::function<void()>& handler) {
    handler();
    sync();
  };
  // A handler that may bring up a window of its own, over this dialog.
  auto handle_over = [&](const std::function<void()>& handler) {
    ui.SetParent(&dialog);
    handler();
    ui.SetParent(parent);
    sync();
  };

  for (int tag = 0; tag < 2; ++tag)
    QObject::connect(mappings[std::size_t(tag)], &QRadioButton::clicked,
                     [&, tag] { handle([&] { m.RadioButton1Click(tag); }); });
  for (int tag = 0; tag < 3; ++tag)
    QObject::connect(cursors[std::size_t(tag)], &QRadioButton::clicked,
                     [&, tag] { handle([&] { m.RadioButton5Click(tag); }); });
  for (int i = 0; i < 3; ++i)
    QObject::connect(prints[std::size_t(i)], &QRadioButton::clicked,
                     [&, i] { handle([&] { m.RadioButton8Click(kPrintTags[i]); }); });
  QObject::connect(replay_list, &QComboBox::activated,
                   [&](int index) { handle([&] { m.ComboBox1Change(index); }); });
  QObject::connect(extension_list, &QComboBox::activated,
                   [&](int index) { handle([&] { m.ComboBox4Change(index); }); });
  QObject::connect(ratio_bar, &QSlider::valueChanged,
                   [&](int value) { handle([&] { m.TrackBar1Change(value); }); });
  QObject::connect(range_bar, &QSlider::valueChanged,
                   [&](int value) { handle([&] { m.TrackBar2Change(value); }); });
  QObject::connect(gamma_bar, &QSlider::valueChanged,
                   [&](int value) { handle([&] { m.TrackBar3Change(value); }); });
  QObject::connect(contour, &QCheckBox::clicked,
                   [&](bool checked) { handle([&] { m.CheckBox1Click(checked); }); });
  QObject::connect(min_button, &QPushButton::clicked, [&] { handle([&] { m.Button9Click(); }); });
  QObject::connect(max_button, &QPushButton::clicked, [&] { handle([&] { m.Button10Click(); }); });
  QObject::connect(default_button, &QPushButton::clicked,
                   [&] { handle([&] { m.Button11Click(); }); });

  using FolderHandler = void (TFormCfg::*)(Ui&);
  constexpr std::array<FolderHandler, TFormCfg::kFolderCount> kFolderButtons{
      &TFormCfg::Button1Click, &TFormCfg::Button2Click, &TFormCfg::Button3Click,
      &TFormCfg::Button7Click, &TFormCfg::Button8Click};
  for (int f = 0; f < TFormCfg::kFolderCount; ++f) {
    const auto folder = TFormCfg::Folder(f);
    QObject::connect(
        rows[std::size_t(f)].edit, &QLineEdit::textEdited,
        [&, folder](const QString& text) { handle([&] { m.EditChange(folder, S(text)); }); });
    const FolderHandler handler = kFolderButtons[std::size_t(f)];
    QObject::connect(rows[std::size_t(f)].button, &QPushButton::clicked,
                     [&, handler] { handle_over([&] { (m.*handler)(ui); }); });
  }
  QObject::connect(change, &QPushButton::clicked,
                   [&] { handle_over([&] { m.Button12Click(ui); }); });

  QObject::connect(accept, &QPushButton::clicked, [&] {
    m.Button4Click();
    dialog.accept();
  });
  QObject::connect(undo, &QPushButton::clicked, [&] { handle([&] { m.Button5Click(); }); });
  QObject::connect(exit_button, &QPushButton::clicked, [&] {
    m.Button6Click();
    dialog.reject();
  });

  return dialog.exec() == QDialog::Accepted;
}

void RegisterOptionsDlgView(QtUi& ui) {
  ui.RegisterDialogView("TFormCfg", [&ui](DialogModel& model, QWidget* parent) {
    return ShowOptionsDlg(ui, model, parent);
  });
}

}  // namespace zevo::platform::qt
