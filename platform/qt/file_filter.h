#pragma once

#include <string>

namespace zevo::platform::qt {

// The classic filter "Label|*.a;*.b|Label|*.c" as a Qt name filter list
// "Label (…);;Label (…)". Each pattern matches regardless of letter case (the program's
// own files are named "Image01.JPG"), and "*.*" means every file. The label is kept as
// written; the generated pattern group is meant to be hidden (QFileDialog::HideNameFilterDetails).
// A label without a pattern list and empty entries are dropped.
std::string QtNameFilters(const std::string& classic_filter);

// "*.jpg" → "*.[jJ][pP][gG]"; "*.*" → "*".
std::string CaseFreePattern(const std::string& pattern);

}  // namespace zevo::platform::qt
