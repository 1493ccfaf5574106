#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace zevo::platform {

enum KeyModifier : unsigned {
  kModCtrl = 1,
  kModShift = 2,
  kModAlt = 4,
};

// A key combination: a letter 'A'..'Z' or digit '0'..'9' with modifier bits.
struct KeyCombination {
  char key = 0;
  unsigned modifiers = 0;
  friend bool operator==(const KeyCombination&, const KeyCombination&) = default;
};

struct HotKeyDefinition {
  int id;
  const char* name;  // the hot key's global identifier
  KeyCombination keys;
};

// The program's seven hot keys, in registration order.
inline constexpr std::array<HotKeyDefinition, 7> kProgramHotKeys{{
    {1, "E_ZEVO3_001", {'B', kModCtrl}},
    {2, "E_ZEVO3_002", {'F', kModCtrl}},
    {3, "E_ZEVO3_003", {'P', kModCtrl}},
    {4, "E_ZEVO3_004", {'S', kModCtrl}},
    {5, "E_ZEVO3_005", {'O', kModCtrl}},
    {6, "E_ZEVO3_006", {'B', kModCtrl | kModShift}},
    {7, "E_ZEVO3_007", {'F', kModCtrl | kModShift}},
}};

// Key combinations that reach the program whatever has the keyboard focus, where the window
// system allows it, and anywhere in the program otherwise. Presses arrive on the UI thread.
class HotKeys {
 public:
  using Callback = std::function<void(int id)>;
  virtual ~HotKeys() = default;

  virtual void SetCallback(Callback callback) = 0;
  // False when the combination could not be had (another program holds it); callers ignore
  // that. Registering an id again replaces its combination.
  virtual bool Register(int id, KeyCombination keys) = 0;
  virtual void Unregister(int id) = 0;

  void RegisterProgramHotKeys() {
    for (const auto& k : kProgramHotKeys) Register(k.id, k.keys);
  }
  void UnregisterProgramHotKeys() {
    for (const auto& k : kProgramHotKeys) Unregister(k.id);
  }
};

}  // namespace zevo::platform
