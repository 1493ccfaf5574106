#pragma once

#include <array>
#include <cstdint>

#include "gfx/bitmap24.h"

namespace zevo::app {
class TZevo3Win;
}

namespace zevo::workspace {

// The skinned panels below the page: the control panel (file, replay, seal, picture and paper
// commands, ink palettes, brush size) and the play panel (player track and history buttons).
// Every command is reached by clicking a region of the skin; the commands that other parts of
// the program provide are called through the main window's command hooks
// (app::Commands, win.commands) and do nothing while a hook is empty.

// Ink palettes: three rows of colours (0x00BBGGRR), each padded to six places.
inline constexpr int kPaletteRows = 3;
inline constexpr int kPaletteRowPlaces = 6;
inline constexpr std::array<int, kPaletteRows> kPaletteRowSizes{6, 5, 5};
inline constexpr std::array<gfx::Color, kPaletteRows * kPaletteRowPlaces> kPaletteColors{
    0x000000, 0x333333, 0x666666, 0x999999, 0xCCCCCC, 0xFFFFFF,  // black
    0x0000FF, 0x3333FF, 0x6666FF, 0x9999FF, 0xCCCCFF, 0x000000,  // red
    0x00A8F9, 0x33B8FF, 0x66D8FF, 0x99E8FF, 0xCCFFFF, 0x000000,  // yellow
};
// x of each row's palette button on the control panel and of its palette panel.
inline constexpr std::array<int, kPaletteRows> kPaletteButtonX{183, 251, 319};
inline constexpr int kPaletteButtonY = 28;
inline constexpr int kSwatchSize = 45;

// The colour of a row's entry; black for a place outside the row.
constexpr gfx::Color PaletteColor(int row, int index) {
  if (row < 0 || row >= kPaletteRows || index < 0 || index >= kPaletteRowSizes[row]) return 0;
  return kPaletteColors[row * kPaletteRowPlaces + index];
}

// Brush radii in page pixels, four to a row, as the picker shows them.
inline constexpr int kBrushPickerColumns = 4;
inline constexpr int kBrushPickerRows = 7;
inline constexpr std::array<float, kBrushPickerColumns * kBrushPickerRows> kBrushSizes{
    0.125f, 0.25f, 0.5f,  1.0f,   //
    1.5f,   2.0f,  2.5f,  3.0f,   //
    3.5f,   4.0f,  4.5f,  5.0f,   //
    6.0f,   7.0f,  8.0f,  9.0f,   //
    10.0f,  11.0f, 12.0f, 13.0f,  //
    14.0f,  15.0f, 16.0f, 17.0f,  //
    18.0f,  19.0f, 20.0f, 22.0f,
};
inline constexpr int kBrushCell = 45;
inline constexpr gfx::Color kBrushPickerBackground = 12703967;  // 0x00C1D8DF
inline constexpr gfx::Color kLabelBlue = 0x00FF0000;

// Painting, after each panel's own painting.
void PaintControlPanel(app::TZevo3Win& w);
// Background, then the player indicator.
void PaintPlayPanel(app::TZevo3Win& w);
// Title strip (by whether the panel is expanded), body, and the four zoom choice buttons with
// the chosen one (win.zoom_index) marked. The overview and its frame lie over it.
void PaintZoomPanel(app::TZevo3Win& w);
// The grid panel's background; its lists are drawn over it by the grid view.
void PaintGridPanel(app::TZevo3Win& w);

// The click maps; x, y in panel pixels.
void ControlPanelMouseDown(app::TZevo3Win& w, int x, int y);
void PlayPanelMouseDown(app::TZevo3Win& w, int x, int y);

// Brush size picker and palettes.
void ImagePWMouseDown(app::TZevo3Win& w, int x, int y);
void PaletteSwatchClick(app::TZevo3Win& w, int row, int tag);
void DrawBrushPreview(app::TZevo3Win& w);
void DrawPaletteButtons(app::TZevo3Win& w);
// ShowControlExecute: opens the control panel and the zoom panel.
void ShowControl(app::TZevo3Win& w);

// Start-up: the picker image with a dot and a label per size, and the three palette panels
// with their swatches (the brush size panel above them).
void DrawBrushPicker(app::TZevo3Win& w);
void BuildPalettes(app::TZevo3Win& w);

}  // namespace zevo::workspace
