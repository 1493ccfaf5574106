#include "workspace/skin.h"

#include "gfx/bmp_file.h"

namespace zevo::workspace {

const std::array<const char*, kSkinImageCount> kSkinFileNames{
    "B_Gnd.bmp",       "SelA.bmp",       "SelB.bmp",       "SelC.bmp",   "SelD.bmp",
    "Sel2A.bmp",       "Sel2B.bmp",      "black.bmp",      "red.bmp",    "yel.bmp",
    "P_Gnd.bmp",       "PB1.bmp",        "PB2.bmp",        "PB3.bmp",    "GridSelectA.bmp",
    "GridSelectB.bmp", "GridTrackA.bmp", "GridTrackB.bmp", "B_Zoom.bmp", "B_ZoomTopA.bmp",
    "B_ZoomTopB.bmp",  "GridPanel.bmp"};

int Skin::Load(const std::string& folder) {
  for (auto& image : images) image = gfx::Bitmap24();
  problem.clear();
  for (int i = 0; i < kSkinImageCount; ++i) {
    const std::string path = folder + kSkinFileNames[std::size_t(i)];
    auto loaded = gfx::LoadBmpFile(path);
    if (!loaded) {
      problem = "The skin picture " + path + " cannot be loaded (" + loaded.ErrorText() +
                "). Zevo 3 goes on without it and the skin pictures after it.";
      return i;
    }
    images[std::size_t(i)] = std::move(loaded).Value();
  }
  return kSkinImageCount;
}

}  // namespace zevo::workspace
