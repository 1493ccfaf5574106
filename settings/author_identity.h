#pragma once

#include <string>

#include "platform/settings_backend.h"
#include "settings/password_mask.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace zevo::settings {

// The writer's identity as stored: author name and password, at most 255 bytes each.
struct AuthorIdentity {
  std::string name;
  std::string password;

  static AuthorIdentity Read(const SettingsBackend& store) {
    AuthorIdentity a;
    a.name = ReadSettingText(store, kAuthor, "").substr(0, kPasswordMaxLength);
    a.password = ReadStoredPassword(store);
    return a;
  }
};

}  // namespace zevo::settings
