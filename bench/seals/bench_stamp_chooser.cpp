// Opening the seal stamp chooser: the activation that reads every BMP of the stamp folder and
// lays out the thumbnails, on a folder of 200 seals of 300 x 300 pixels, 24 bits.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "gfx/bmp_file.h"
#include "seals/stamp_dlg.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace {

using namespace zevo;
namespace fs = std::filesystem;

class MemoryStore : public platform::SettingsBackend {
 public:
  std::optional<platform::StoredSetting> Read(std::string_view name) const override {
    const auto it = values_.find(std::string(name));
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::string_view name, const platform::StoredSetting& value) override {
    values_[std::string(name)] = value;
    return true;
  }

 private:
  std::map<std::string, platform::StoredSetting> values_;
};

// The program folder with its skin and 200 seals, made once and removed at exit.
struct Folder {
  Folder() {
    std::random_device rd;
    root = fs::temp_directory_path() / ("zevo-bench-stamps-" + std::to_string(rd()));
    fs::create_directories(root / "Skin");
    fs::create_directories(root / "Stamp");
    gfx::SaveBmpFile(gfx::Bitmap24(488, 427, gfx::kWhite), (root / "Skin/S_Gnd.bmp").string(),
                     nullptr);
    gfx::Bitmap24 seal(300, 300, gfx::kWhite);
    for (int i = 0; i < 200; ++i) {
      seal.FillRect({20 + i % 50, 20, 280, 280 - i % 70}, gfx::Rgb(190, 30, std::uint8_t(i)));
      const fs::path name = root / "Stamp" / ("Seal" + std::to_string(1000 + i) + ".BMP");
      gfx::SaveBmpFile(seal, name.string(), nullptr);
    }
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  std::string Program() const { return root.string() + "/"; }
  fs::path root;
};

void OpenTheChooserOn200Seals(benchmark::State& state) {
  static const Folder folder;
  MemoryStore store;
  auto created = seals::TStampDlg::Create(store, folder.Program(), nullptr);
  if (!created) {
    state.SkipWithError(created.ErrorText().c_str());
    return;
  }
  seals::TStampDlg& d = *created.Value();
  for (auto _ : state) {
    d.FormActivate();
    benchmark::DoNotOptimize(d.thumbnails.data());
  }
  if (d.thumbnails.size() != 200 || !d.errors.empty())
    state.SkipWithError(
        ("thumbnails: " + std::to_string(d.thumbnails.size()) + "; " + d.ErrorMessage()).c_str());
}
BENCHMARK(OpenTheChooserOn200Seals)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
