#pragma once

#include <optional>
#include <string>

#include "output/vector_sheet.h"

namespace zevo::tools {

enum class VectorFormat { Pdf, Svg };

// A page in PostScript points (1/72 inch).
struct VectorPage {
  double width = 0;
  double height = 0;
};
inline constexpr double kPointsPerMillimetre = 72.0 / 25.4;

// Writes the sheet as a PDF or SVG file of one page: the underlay as an image, each ink stroke
// as one path filled with the nonzero rule, each picture or seal as an image. The page is the
// picture's size in points (one picture pixel to a point) unless page is given; the picture is
// scaled uniformly to fit the page and centred on it. An existing file is replaced only when the
// new one is complete. false with *error set on failure.
bool WriteVectorFile(const output::VectorSheet& sheet, const std::string& path, VectorFormat format,
                     std::optional<VectorPage> page, std::string* error);

}  // namespace zevo::tools
