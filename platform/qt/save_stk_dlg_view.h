#pragma once

#include <QWidget>

#include "platform/qt/qt_ui.h"

namespace zevo::platform::qt {

// The Qt view of the save options dialog (files::TSaveStkDlg), in the middle of the screen:
// the sampling track bar with the file's size in its group's caption, the two protection
// boxes and the warning that there is no author to protect the file with.
bool ShowSaveStkDlg(QtUi& ui, DialogModel& model, QWidget* parent);

// Registers the view with `ui` under "TSaveStkDlg".
void RegisterSaveStkDlgView(QtUi& ui);

}  // namespace zevo::platform::qt
