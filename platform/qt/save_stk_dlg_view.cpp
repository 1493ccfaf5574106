#include "platform/qt/save_stk_dlg_view.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyleOptionSlider>

#include <array>
#include <iterator>

#include "files/save_stk_dlg.h"
#include "platform/qt/dialog_widgets.h"

namespace zevo::platform::qt {

namespace {

using dialog::Q;
using files::TSaveStkDlg;

// The sampling track bar, which knows where its ticks are drawn.
class TrackBar : public QSlider {
 public:
  explicit TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

  // The x of the tick of `value`, in the track bar's parent.
  int TickX(int value) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.sliderPosition = option.sliderValue = value;
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    return x() + handle.center().x();
  }
};

// Encoding a large history at another step takes a moment.
class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// A label's text as a caption with accelerator marks shows it: "&&" is one "&", a single "&"
// only marks the letter after it. (A QLabel without a buddy shows every "&".)
QString CaptionText(const std::string& text) {
  QString shown;
  const QString q = Q(text);
  for (qsizetype i = 0; i < q.size(); ++i) {
    if (q[i] == u'&' && i + 1 < q.size()) ++i;
    shown += q[i];
  }
  return shown;
}

}  // namespace

bool ShowSaveStkDlg(QtUi& /*ui*/, DialogModel& model, QWidget* parent) {
  auto& m = static_cast<TSaveStkDlg&>(model);
  {
    BusyCursor busy;
    m.FormActivate();
  }

  dialog::CancelOnEscape dialog(parent);
  dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setFixedSize(330, 247);
  dialog::CentreOnScreen(dialog, parent);

  auto* group1 = new QGroupBox(&dialog);  // GroupBox1: sampling, with the size
  group1->setGeometry(8, 8, 314, 92);
  auto* track = new TrackBar(group1);  // TrackBar1
  track->setGeometry(20, 22, 274, 28);
  track->setRange(0, 3);
  track->setSingleStep(1);
  track->setPageStep(1);
  track->setTickPosition(QSlider::TicksBelow);
  track->setTickInterval(1);
  for (int position = 0; position < int(std::size(files::kSamplingLabels)); ++position) {
    auto* label = new QLabel(QString::fromUtf8(files::kSamplingLabels[position]), group1);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(track->TickX(position) - 20, 54, 40, 17);
  }

  auto* group2 = new QGroupBox(Q(m.texts.group_box2), &dialog);  // GroupBox2: protection
  group2->setGeometry(8, 108, 314, 76);
  auto* may_open = new QCheckBox(Q(m.texts.check_box1), group2);  // CheckBox1
  may_open->setGeometry(16, 24, 290, 20);
  auto* may_edit = new QCheckBox(Q(m.texts.check_box2), group2);  // CheckBox2
  may_edit->setGeometry(16, 48, 290, 20);

  auto* no_author = new QLabel(CaptionText(m.texts.label1), &dialog);  // Label1
  no_author->setGeometry(8, 190, 314, 17);
  QFont bold = no_author->font();
  bold.setBold(true);
  no_author->setFont(bold);
  QPalette red = no_author->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  no_author->setPalette(red);

  auto* ok = new QPushButton(Q(m.texts.ok), &dialog);
  ok->setGeometry(160, 214, 75, 25);
  ok->setDefault(true);
  auto* cancel = new QPushButton(Q(m.texts.cancel), &dialog);
  cancel->setGeometry(247, 214, 75, 25);
  dialog.cancel = cancel;

  // The controls as the model has them; setting them runs no handler.
  auto sync = [&] {
    const QSignalBlocker b1(track), b2(may_open), b3(may_edit);
    dialog.setWindowTitle(Q(m.texts.caption));
    group1->setTitle(Q(m.group_box1));
    track->setValue(m.track_bar1);
    may_open->setChecked(m.check_box1);
    may_edit->setChecked(m.check_box2);
    may_open->setEnabled(m.check_boxes_enabled);
    may_edit->setEnabled(m.check_boxes_enabled);
    no_author->setVisible(m.label1_visible);
  };
  sync();

  QObject::connect(track, &QSlider::valueChanged, [&](int position) {
    {
      BusyCursor busy;
      m.TrackBar1Change(position);
    }
    sync();
  });
  QObject::connect(may_open, &QCheckBox::clicked, [&](bool ticked) {
    m.CheckBox1Click(ticked);
    sync();
  });
  QObject::connect(may_edit, &QCheckBox::clicked, [&](bool ticked) {
    m.CheckBox2Click(ticked);
    sync();
  });
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

void RegisterSaveStkDlgView(QtUi& ui) {
  ui.RegisterDialogView("TSaveStkDlg", [&ui](DialogModel& model, QWidget* parent) {
    return ShowSaveStkDlg(ui, model, parent);
  });
}

}  // namespace zevo::platform::qt
