#pragma once

// A Ui for tests: answers are queued in advance, every call is recorded, and nothing is
// shown. A call with no answer queued is answered with Cancel (false, nullopt, nullptr) and
// counted in `unanswered`, so a test can tell an unexpected question from a refused one.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/printer.h"
#include "platform/ui.h"

namespace zevo::platform {

// A printer for tests: a page of a given size; every job and stretch is recorded.
class ScriptedPrinter : public Printer {
 public:
  struct Stretch {
    int bitmap_width = 0;
    int bitmap_height = 0;
    gfx::Rect page;
    gfx::Bitmap24 copy;  // the bitmap as it was when stretched, when keep_bitmaps is set
  };
  struct Log {
    int jobs_begun = 0;
    int jobs_ended = 0;
    std::vector<Stretch> stretches;
  };

  ScriptedPrinter(int page_width, int page_height,
                  std::shared_ptr<Log> log = std::make_shared<Log>())
      : width_(page_width), height_(page_height), log_(std::move(log)) {}

  // Shared with the test, so the record outlives the printer the command releases.
  std::shared_ptr<Log> GetLog() const { return log_; }
  // The next BeginJob (or StretchBitmap, EndJob) fails with this text.
  std::string fail_begin, fail_stretch, fail_end;
  // Print bitmaps are large (36 MB for A4); tests of the layout alone can do without copies.
  bool keep_bitmaps = true;

  int PageWidth() const override { return width_; }
  int PageHeight() const override { return height_; }
  bool BeginJob(std::string& error_text) override {
    if (!fail_begin.empty()) return Fail(fail_begin, error_text);
    ++log_->jobs_begun;
    in_job_ = true;
    return true;
  }
  bool StretchBitmap(const gfx::Bitmap24& bitmap, gfx::Rect page,
                     std::string& error_text) override {
    if (!in_job_) return Fail("no print job", error_text);
    if (!fail_stretch.empty()) return Fail(fail_stretch, error_text);
    log_->stretches.push_back(
        {bitmap.Width(), bitmap.Height(), page, keep_bitmaps ? bitmap : gfx::Bitmap24()});
    return true;
  }
  bool EndJob(std::string& error_text) override {
    if (!in_job_) return Fail("no print job", error_text);
    in_job_ = false;
    if (!fail_end.empty()) return Fail(fail_end, error_text);
    ++log_->jobs_ended;
    return true;
  }

 private:
  static bool Fail(const std::string& why, std::string& error_text) {
    error_text = why;
    return false;
  }
  int width_, height_;
  std::shared_ptr<Log> log_;
  bool in_job_ = false;
};

class ScriptedUi : public Ui {
 public:
  enum class Kind {
    MessageBox,
    AskOkCancel,
    ShowError,
    OpenFile,
    SaveFile,
    BrowseFolder,
    ChoosePrinter,
    ShowModal
  };
  // Plays the user of a dialog: changes the model as the user would and returns whether OK
  // was pressed.
  using DialogUser = std::function<bool(DialogModel&)>;

  struct Call {
    Kind kind;
    std::string caption;  // AskOkCancel; the title of the dialogs
    std::string text;  // message text; the proposed file name; the initial folder of BrowseFolder
    std::string filter;
    std::string folder;  // initial folder of the file dialogs
  };

  std::vector<Call> calls;
  int unanswered = 0;

  // Answers, used in order per kind of question.
  void QueueOkCancel(bool ok) { ok_cancel_.push_back(ok); }
  void QueueOpenFile(std::optional<std::string> name) { open_.push_back(std::move(name)); }
  void QueueSaveFile(std::optional<std::string> name) { save_.push_back(std::move(name)); }
  void QueueFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
  void QueuePrinter(std::unique_ptr<Printer> printer) { printers_.push_back(std::move(printer)); }
  void QueueDialog(DialogUser user) { dialogs_.push_back(std::move(user)); }

  // The texts of the calls of one kind, in order.
  std::vector<std::string> Texts(Kind kind) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.kind == kind) out.push_back(c.text);
    return out;
  }
  std::vector<std::string> Messages() const { return Texts(Kind::MessageBox); }
  std::vector<std::string> Errors() const { return Texts(Kind::ShowError); }
  int Count(Kind kind) const {
    int n = 0;
    for (const auto& c : calls) n += c.kind == kind;
    return n;
  }

  void MessageBox(const std::string& text) override {
    calls.push_back({Kind::MessageBox, "", text, "", ""});
  }
  void ShowError(const std::string& text) override {
    calls.push_back({Kind::ShowError, "", text, "", ""});
  }
  bool AskOkCancel(const std::string& caption, const std::string& text) override {
    calls.push_back({Kind::AskOkCancel, caption, text, "", ""});
    return Next(ok_cancel_, false);
  }
  std::optional<std::string> OpenFileDialog(const std::string& title, const std::string& filter,
                                            const std::string& initial_folder,
                                            const std::string& file_name) override {
    calls.push_back({Kind::OpenFile, title, file_name, filter, initial_folder});
    return Next(open_, std::optional<std::string>());
  }
  std::optional<std::string> SaveFileDialog(const std::string& title, const std::string& filter,
                                            const std::string& initial_folder,
                                            const std::string& file_name) override {
    calls.push_back({Kind::SaveFile, title, file_name, filter, initial_folder});
    return Next(save_, std::optional<std::string>());
  }
  std::optional<std::string> BrowseFolder(const std::string& title,
                                          const std::string& initial) override {
    calls.push_back({Kind::BrowseFolder, title, initial, "", ""});
    return Next(folders_, std::optional<std::string>());
  }
  bool ShowModal(DialogModel& dialog) override {
    calls.push_back({Kind::ShowModal, "", std::string(dialog.FormName()), "", ""});
    DialogUser user = Next(dialogs_, DialogUser());
    return user ? user(dialog) : false;
  }
  std::unique_ptr<Printer> ChoosePrinter() override {
    calls.push_back({Kind::ChoosePrinter, "", "", "", ""});
    return Next(printers_, std::unique_ptr<Printer>());
  }

 private:
  template <class T>
  T Next(std::deque<T>& answers, T if_none) {
    if (answers.empty()) {
      ++unanswered;
      return if_none;
    }
    T a = std::move(answers.front());
    answers.pop_front();
    return a;
  }

  std::deque<bool> ok_cancel_;
  std::deque<std::optional<std::string>> open_, save_, folders_;
  std::deque<std::unique_ptr<Printer>> printers_;
  std::deque<DialogUser> dialogs_;
};

}  // namespace zevo::platform
