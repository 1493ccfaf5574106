#pragma once

#include <QWidget>

#include "platform/qt/qt_ui.h"

namespace zevo::platform::qt {

// The Qt view of the seal stamp chooser (seals::TStampDlg): a borderless 488 x 427 window
// over the middle of `parent`, painted with the skin picture, whose buttons are the skin's hot
// areas. The thumbnails and the preview lie in two white scroll boxes, the turn indicator
// beside them. Stamps that could not be loaded are told in one message through `ui`, over the
// window. True when a stamp was chosen; Escape and the close area close without one.
bool ShowStampDlg(QtUi& ui, DialogModel& model, QWidget* parent);

// Registers the view with `ui` under "TStampDlg".
void RegisterStampDlgView(QtUi& ui);

}  // namespace zevo::platform::qt
