#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

#include "platform/ui.h"

namespace zevo::platform::qt {

// Message boxes and common dialogs as Qt widgets, modal to the given window.
class QtUi : public Ui {
 public:
  // app_title is the caption of plain message boxes and error displays.
  explicit QtUi(QWidget* parent, QString app_title);

  void SetParent(QWidget* parent) { parent_ = parent; }

  // A dialog's Qt view: shows the model modally over parent, true when accepted.
  using DialogView = std::function<bool(DialogModel& model, QWidget* parent)>;
  void RegisterDialogView(std::string form_name, DialogView view) {
    views_[std::move(form_name)] = std::move(view);
  }

  void MessageBox(const std::string& text) override;
  bool AskOkCancel(const std::string& caption, const std::string& text) override;
  void ShowError(const std::string& text) override;
  std::optional<std::string> OpenFileDialog(const std::string& title, const std::string& filter,
                                            const std::string& initial_folder,
                                            const std::string& file_name) override;
  std::optional<std::string> SaveFileDialog(const std::string& title, const std::string& filter,
                                            const std::string& initial_folder,
                                            const std::string& file_name) override;
  std::optional<std::string> BrowseFolder(const std::string& title,
                                          const std::string& initial) override;
  bool ShowModal(DialogModel& dialog) override;
  std::unique_ptr<Printer> ChoosePrinter() override;

 private:
  std::optional<std::string> RunFileDialog(bool save, const std::string& title,
                                           const std::string& filter,
                                           const std::string& initial_folder,
                                           const std::string& file_name);
  QPointer<QWidget> parent_;
  QString app_title_;
  std::map<std::string, DialogView, std::less<>> views_;
};

}  // namespace zevo::platform::qt
