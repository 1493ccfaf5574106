#pragma once

#include <QWidget>

#include "platform/qt/qt_ui.h"

namespace zevo::platform::qt {

// The Qt view of the options dialog (settings::TFormCfg): a fixed 579 x 564 dialog centred on
// its owner, laid out in the model's groups (the mapping group and the skin, texture and
// background rows stay hidden). Every control shows the model and reports its changes to the
// model's handler; the folder browsers and the author dialog come up over the dialog. Accept
// closes it accepted, Exit (or Escape) rejected.
bool ShowOptionsDlg(QtUi& ui, DialogModel& model, QWidget* parent);

// Registers the view with `ui` under "TFormCfg".
void RegisterOptionsDlgView(QtUi& ui);

}  // namespace zevo::platform::qt
