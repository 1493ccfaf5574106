#pragma once

#include <QWidget>

#include "platform/qt/qt_ui.h"

namespace zevo::platform::qt {

// The Qt view of the author dialog (settings::TLoginDlg): a fixed 289 x 244 dialog in the
// middle of the screen. The password and check boxes report their keys before the box takes
// them, and their entering and leaving as the focus moves between the dialog's controls (not
// when the window itself is left or a context menu opens). OK's messages come up over the
// dialog, which stays open after them.
bool ShowLoginDlg(QtUi& ui, DialogModel& model, QWidget* parent);

// Registers the view with `ui` under "TLoginDlg".
void RegisterLoginDlgView(QtUi& ui);

}  // namespace zevo::platform::qt
