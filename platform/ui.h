#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/printer.h"

namespace zevo::platform {

// A dialog's toolkit-free state and handlers (TStampDlg, TFormCfg, TSaveStkDlg, TLoginDlg,
// TBGDialog). The Ui shows it modally through the view registered for its form name.
class DialogModel {
 public:
  virtual ~DialogModel() = default;
  // The form's name, e.g. "TSaveStkDlg".
  virtual std::string_view FormName() const = 0;
};

// What the program's commands ask of the user interface: message boxes, the common
// dialogs and the print dialog. Commands reach them only through this, so tests drive
// whole commands with a scripted Ui and no display.
//
// File dialog filters are given in the classic form "Label|*.a;*.b|Label|*.c"; texts and
// file names are UTF-8.
class Ui {
 public:
  virtual ~Ui() = default;

  // A plain message box: the application's title as caption, one OK button.
  virtual void MessageBox(const std::string& text) = 0;
  // An OK/Cancel question; true for OK.
  virtual bool AskOkCancel(const std::string& caption, const std::string& text) = 0;
  // The application's standard error display, for errors that abandon a command.
  virtual void ShowError(const std::string& text) = 0;

  // The chosen file's full name, or nullopt when cancelled. initial_folder may be empty;
  // file_name is the proposed name (with or without a folder).
  virtual std::optional<std::string> OpenFileDialog(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& initial_folder,
                                                    const std::string& file_name) = 0;
  // As OpenFileDialog; an existing file may be chosen without an overwrite question, and no
  // extension is added to the name.
  virtual std::optional<std::string> SaveFileDialog(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& initial_folder,
                                                    const std::string& file_name) = 0;
  // The chosen folder's path (without a trailing separator), or nullopt when cancelled.
  // initial is selected when it exists.
  virtual std::optional<std::string> BrowseFolder(const std::string& title,
                                                  const std::string& initial) = 0;

  // Shows the dialog modally; true when the user closed it with OK (the dialog's Accept).
  // Cancelled, closed otherwise, or no view for it: false.
  virtual bool ShowModal(DialogModel& dialog) = 0;

  // The standard print dialog (one copy). The chosen printer, or nullptr when cancelled.
  virtual std::unique_ptr<Printer> ChoosePrinter() = 0;
};

}  // namespace zevo::platform
