#include "files/save_stk_dlg.h"

#include <utility>

#include "files/stroke_file.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "settings/text_format.h"

namespace zevo::files {

TSaveStkDlg::TSaveStkDlg(const platform::SettingsBackend& store,
                         const platform::ProgramFolders& folders)
    : store_(store) {
  const settings::DialogTexts t =
      settings::LoadDialogTexts(settings::DialogTextFile::SaveOptions, store, folders);
  texts_from_file = t.FromFile();
  texts = {t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7]};
  protection = 0xFFFFFFFFu;
}

void TSaveStkDlg::SetDocument(ink::StrokeDocument* document, const CodecBinding* codec,
                              std::string password, std::string author) {
  document_ = document;
  codec_ = codec;
  password_ = std::move(password);
  author_ = std::move(author);
  sizes_.fill(-1);
  made_.reset();
}

void TSaveStkDlg::FormActivate() {
  const std::string author = settings::ReadSettingText(store_, settings::kAuthor, "");
  accepted = false;
  if (!author.empty()) {
    label1_visible = false;
    check_boxes_enabled = true;
  } else {
    // Without an author there is nobody to protect the file for: it is saved open to all.
    label1_visible = true;
    check_boxes_enabled = false;
    check_box1 = check_box2 = true;
  }
  sampling_step = 4 - track_bar1;
  UpdateSize();
  protection = ProtectionOfBoxes();
}

void TSaveStkDlg::TrackBar1Change(int position) {
  track_bar1 = position < 0 ? 0 : position > 3 ? 3 : position;
  sampling_step = 4 - track_bar1;
  UpdateSize();
}

void TSaveStkDlg::CheckBox1Click(bool ticked) {
  if (check_boxes_enabled) check_box1 = ticked;
}

void TSaveStkDlg::CheckBox2Click(bool ticked) {
  if (check_boxes_enabled) check_box2 = ticked;
}

std::uint32_t TSaveStkDlg::ProtectionOfBoxes() const {
  std::uint32_t flags = 0xFFFFFFFFu;
  if (!check_box1) flags &= ~1u;
  if (!check_box2) flags &= ~2u;
  return flags;
}

void TSaveStkDlg::OKBtnClick() {
  sampling_step = 4 - track_bar1;
  protection = ProtectionOfBoxes();
  accepted = true;
}

std::int64_t TSaveStkDlg::FileSize(int s) {
  if (s < 1 || s > 4 || document_ == nullptr || codec_ == nullptr) return 0;
  std::int64_t& size = sizes_[std::size_t(s - 1)];
  if (size >= 0) return size;
  // The file is made with the protection the boxes show now, as the save would make it.
  const std::uint32_t kept = document_->protection;
  document_->protection = ProtectionOfBoxes();
  Result<std::vector<std::uint8_t>> bytes =
      EncodeStrokeFile(*document_, s, password_, author_, *codec_);
  document_->protection = kept;
  if (!bytes) return size = 0;
  size = std::int64_t(bytes.Value().size());
  made_ = Made{s, ProtectionOfBoxes(), std::move(bytes).Value()};
  return size;
}

void TSaveStkDlg::UpdateSize() {
  // The real size of the file, as both ends of the range the caption shows.
  const std::string size = settings::FormatByteSize(double(FileSize(sampling_step)));
  group_box1 = settings::FillFormat(texts.size_format, {size, size});
}

std::vector<std::uint8_t> TSaveStkDlg::TakeEncoded() {
  std::vector<std::uint8_t> bytes;
  if (accepted && made_ && made_->step == sampling_step && made_->protection == protection)
    bytes = std::move(made_->bytes);
  made_.reset();
  sizes_.fill(-1);
  return bytes;
}

}  // namespace zevo::files
