#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/settings_backend.h"

namespace zevo::settings {

using platform::SettingsBackend;

// The longest stored text value a read accepts is 1023 bytes with its terminating zero
// (a text of 1022 characters); a longer one reads as the caller's default.
inline constexpr std::size_t kTextReadBuffer = 1024;

// The four settings operations. Every reader passes its own default, which it gets when the
// store or the value is missing or the value does not fit: an integer whose stored size is not
// 4 bytes, a text of kTextReadBuffer bytes or more. A text ends at its first zero byte. A read
// never creates or changes anything; a write that fails is ignored. No value is cached.
std::int32_t ReadSettingInt(const SettingsBackend& store, std::string_view name,
                            std::int32_t default_value);
std::string ReadSettingText(const SettingsBackend& store, std::string_view name,
                            std::string_view default_value);
void WriteSettingInt(SettingsBackend& store, std::string_view name, std::int32_t value);
// Stores the text up to its first zero byte, with a terminating zero.
void WriteSettingText(SettingsBackend& store, std::string_view name, std::string_view text);

// The same over the process-wide store (CurrentSettingsBackend()).
std::int32_t ReadSettingInt(std::string_view name, std::int32_t default_value);
std::string ReadSettingText(std::string_view name, std::string_view default_value);
void WriteSettingInt(std::string_view name, std::int32_t value);
void WriteSettingText(std::string_view name, std::string_view text);

// The process-wide store: the one installed last, else the platform's default store
// (platform::MakeDefaultSettingsBackend(), created at first use).
SettingsBackend& CurrentSettingsBackend();

// Why the process-wide store was refused (a FIFO, device or folder where the settings file
// should be, a file too large to be ours, a write that failed), for the message the program
// shows at start; empty when nothing went wrong. See SettingsBackend::ErrorText.
std::string SettingsErrorText();

// Makes `store` the process-wide store for the rest of the run (nullptr: back to the default).
void InstallSettingsBackend(std::unique_ptr<SettingsBackend> store);

// Makes `store` the process-wide store while it lives; the previous one comes back after.
// For tests and for short scopes on the user-interface thread.
class ScopedSettingsBackend {
 public:
  explicit ScopedSettingsBackend(SettingsBackend& store);
  ~ScopedSettingsBackend();
  ScopedSettingsBackend(const ScopedSettingsBackend&) = delete;
  ScopedSettingsBackend& operator=(const ScopedSettingsBackend&) = delete;

 private:
  SettingsBackend* previous_;
};

}  // namespace zevo::settings
