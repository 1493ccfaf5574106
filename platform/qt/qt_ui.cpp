#include "platform/qt/qt_ui.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/qt/file_filter.h"
#include "platform/qt/qt_printer.h"

namespace zevo::platform::qt {

namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::string S(const QString& s) {
  const QByteArray b = s.toUtf8();
  return std::string(b.constData(), std::size_t(b.size()));
}

}  // namespace

QtUi::QtUi(QWidget* parent, QString app_title)
    : parent_(parent), app_title_(std::move(app_title)) {}

void QtUi::MessageBox(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, app_title_, Q(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtUi::AskOkCancel(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::Ok | QMessageBox::Cancel,
                  parent_);
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok;
}

void QtUi::ShowError(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, app_title_, Q(text), QMessageBox::Ok, parent_);
  box.exec();
}

std::optional<std::string> QtUi::RunFileDialog(bool save, const std::string& title,
                                               const std::string& filter,
                                               const std::string& initial_folder,
                                               const std::string& file_name) {
  QFileDialog dialog(parent_, Q(title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The generated case-free pattern groups stay hidden; the labels read as written.
  QFileDialog::Options options = QFileDialog::HideNameFilterDetails;
  if (save) options |= QFileDialog::DontConfirmOverwrite;
  dialog.setOptions(options);
  const QString filters = Q(QtNameFilters(filter));
  if (!filters.isEmpty()) dialog.setNameFilters(filters.split(QStringLiteral(";;")));
  const QFileInfo proposed(Q(file_name));
  QString folder = Q(initial_folder);
  if (folder.isEmpty() && !file_name.empty() && proposed.path() != QStringLiteral("."))
    folder = proposed.path();
  if (!folder.isEmpty() && QDir(folder).exists()) dialog.setDirectory(folder);
  if (!file_name.empty()) dialog.selectFile(proposed.fileName());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return S(QDir::toNativeSeparators(chosen.front()));
}

std::optional<std::string> QtUi::OpenFileDialog(const std::string& title, const std::string& filter,
                                                const std::string& initial_folder,
                                                const std::string& file_name) {
  return RunFileDialog(false, title, filter, initial_folder, file_name);
}

std::optional<std::string> QtUi::SaveFileDialog(const std::string& title, const std::string& filter,
                                                const std::string& initial_folder,
                                                const std::string& file_name) {
  return RunFileDialog(true, title, filter, initial_folder, file_name);
}

std::optional<std::string> QtUi::BrowseFolder(const std::string& title,
                                              const std::string& initial) {
  QString start = Q(initial);
  if (!start.isEmpty() && !QDir(start).exists()) start.clear();
  const QString folder =
      QFileDialog::getExistingDirectory(parent_, Q(title), start, QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  return S(QDir::toNativeSeparators(folder));
}

bool QtUi::ShowModal(DialogModel& dialog) {
  const auto it = views_.find(dialog.FormName());
  if (it == views_.end()) {
    ShowError("No view for the dialog " + std::string(dialog.FormName()) + ".");
    return false;
  }
  return it->second(dialog, parent_);
}

std::unique_ptr<Printer> QtUi::ChoosePrinter() {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setCopyCount(1);
  QPrintDialog dialog(printer.get(), parent_);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  return std::make_unique<QtPrinter>(std::move(printer));
}

}  // namespace zevo::platform::qt
