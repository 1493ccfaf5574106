#include "settings/message_texts.h"

namespace zevo::settings {

MessageTexts MessageTexts::Load(const std::string& skin_folder) {
  auto lines = ReadTextFile(skin_folder + kMessagesFile);
  return lines ? MessageTexts(std::move(lines).Value()) : MessageTexts();
}

const std::string& MessageTexts::At(int line) const {
  if (!Has(line)) throw TextIndexError(line, Count());
  return lines_[std::size_t(line)];
}

}  // namespace zevo::settings
