#pragma once

#include <QWidget>

#include "platform/qt/qt_ui.h"

namespace zevo::platform::qt {

// The Qt view of the background style dialog (seals::TBGDialog): a fixed 409 x 192 dialog
// whose controls follow the model and whose clicks run its handlers. Its "Load..." buttons
// open their file dialog through `ui`, over the dialog.
bool ShowBGDialog(QtUi& ui, DialogModel& model, QWidget* parent);

// Registers the view with `ui` under "TBGDialog".
void RegisterBGDialogView(QtUi& ui);

}  // namespace zevo::platform::qt
