#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/ui.h"

namespace zevo::platform::qt {

// Message boxes and common dialogs as Qt widgets, modal to the given window.
class QtUi : public Ui {
 public:
  // app_title is the caption of plain message boxes and error displays.
  explicit QtUi(QWidget* parent, QString app_title);

  void SetParent(QWidget* parent) { parent_ = parent; }

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
  std::unique_ptr<Printer> ChoosePrinter() override;

 private:
  std::optional<std::string> RunFileDialog(bool save, const std::string& title,
                                           const std::string& filter,
                                           const std::string& initial_folder,
                                           const std::string& file_name);
  QPointer<QWidget> parent_;
  QString app_title_;
};

}  // namespace zevo::platform::qt
