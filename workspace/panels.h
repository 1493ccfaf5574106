#pragma once

#include <array>
#include <cstdint>

#include <string>
#include <vector>

#include "gfx/bitmap24.h"
#include "history/history_player.h"
#include "input/pen_input.h"
#include "seals/sheet_pages.h"
#include "workspace/components.h"
#include "workspace/dirty_area.h"
#include "workspace/skin.h"
#include "workspace/skin_layout.h"
#include "workspace/zoom_view.h"

namespace zevo::platform {
class TextPainter;
}

namespace zevo::workspace {

// The skinned panels below the page: the control panel (file, replay, seal, picture and paper
// commands, ink palettes, brush size) and the play panel (player track and history buttons),
// with the pop-up palettes, the brush picker, the zoom and grid panels and the progress
// display. Every command is reached by clicking a region of the skin (workspace/skin_layout.h).

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
// Between an open palette and the buttons below it.
inline constexpr int kPaletteGap = 6;

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

// The window's components and what they show, besides the page views: where everything is,
// what is visible, and the panels' canvases painted from the skin.
struct Panels {
  // C1 and C16..C18: the layout for a client area of the given size.
  void Layout(int client_width, int client_height);
  // A client area of a new size: the workspace keeps its layout and takes its new origin.
  void Place(int client_width, int client_height);

  // Every component's place below is in workspace pixels; `origin` is where the workspace's
  // top-left corner lies in the window (client pixels), the one offset between the two.
  gfx::Point origin;
  // The workspace in client pixels.
  gfx::Rect Workspace() const {
    return gfx::Rect{0, 0, kWorkspaceWidth, kWorkspaceHeight}.Translated(origin.x, origin.y);
  }
  // A rectangle of the workspace in client pixels.
  gfx::Rect ToWindow(const gfx::Rect& r) const { return r.Translated(origin.x, origin.y); }

  PanelControl TabletPanel;  // the writing area; ImgA and ImgTmp live inside it
  ImagePlace ImgA;           // the page image (the page views own its picture)
  ImageControl ImgTmp;       // the calibration target
  StretchedImage ImgStamp;   // the seal being carried, over ImgA
  PanelControl PlayPanel;    // below the writing area
  gfx::Bitmap24 play_panel_canvas;
  PanelControl ControlPanel;
  gfx::Bitmap24 control_panel_canvas;
  std::array<PanelControl, kPaletteRows> palette_panels;  // PanelBlack, PanelRed, PanelYellow
  std::array<std::vector<ImageControl>, kPaletteRows> palette_swatches;
  int palette_row = 0;
  int palette_column = 0;
  PanelControl PenWPanel;
  ImageControl ImagePW;  // the brush picker
  PanelControl ZoomPanel;
  gfx::Bitmap24 zoom_panel_canvas;
  ImagePlace ImgZoom;  // the overview on the zoom panel (the page views own its picture)
  PanelControl GridPanel;
  gfx::Bitmap24 grid_panel_canvas;
  ImageControl ImgGridSelect;  // the preset list on the grid panel
  ImageControl ImgGrid;        // the preview of the lattice
  ProgressState PanelProgress;
  std::string button1_caption = "筆";
  int tablet_panel_cursor = 101;
  int client_width = 1024;
  int client_height = 768;
  // The window's top-left corner on the screen (borderless and maximised).
  int window_left = 0;
  int window_top = 0;
  Skin skin;

  // The writing area's rectangle on the screen: the tablet area follows it.
  gfx::Rect WritingAreaOnScreen() const {
    return ToWindow(TabletPanel.Bounds()).Translated(window_left, window_top);
  }

  void MarkDirty(unsigned bits) { dirty |= bits; }
  unsigned dirty = kDirtyAll;
  // Besides the bits: rectangles of the window to repaint at once (the pen's new ink).
  DirtyArea dirty_area;
};

// Painting, after each panel's own painting.
void PaintControlPanel(Panels& p, const input::PenInput& pen, const seals::SheetPages& sheet,
                       platform::TextPainter* text);
// The labels of the tool button (the tool the pen writes with: "Brush" 筆 or "Fill" 填) and of
// "Clear" 清除, written on the skin's faces; the skin under the old labels is put back first.
void DrawToolButtons(Panels& p, const input::PenInput& pen, platform::TextPainter* text);
struct ButtonLabel {
  const char* english;
  const char* chinese;
};
ButtonLabel ToolButtonLabel(bool fill_tool);
inline constexpr ButtonLabel kClearLabel{"Clear", "清除"};
// Background, then the player indicator.
void PaintPlayPanel(Panels& p, const history::PlayerBar& bar, platform::TextPainter* text);
// The player indicator on the play panel's canvas.
// The track, and over its middle where the player stands and how many entries there are
// ("12 / 40"), written with `text` when there is one.
void DrawPlayerIndicator(Panels& p, const history::PlayerBar& bar,
                         platform::TextPainter* text = nullptr);
// Title strip (by whether the panel is expanded), body, and the four zoom choice buttons with
// the chosen one marked. The overview and its frame lie over it.
void PaintZoomPanel(Panels& p, const ZoomView& zoom);
// The grid panel's background; its lists are drawn over it by the grid view.
void PaintGridPanel(Panels& p);
// The trace model toggle as the sheet has it.
void PaintTraceToggle(Panels& p, bool trace_shown);
// The "show grid lines" toggle.
void PaintGridToggle(Panels& p, bool grid_shown);

// Brush size picker and palettes.
void ChoosePaletteRow(Panels& p, input::PenInput& pen, int row, platform::TextPainter* text);
void ImagePWMouseDown(Panels& p, input::PenInput& pen, int x, int y, platform::TextPainter* text);
void PaletteSwatchClick(Panels& p, input::PenInput& pen, int row, int tag,
                        platform::TextPainter* text);
void DrawBrushPreview(Panels& p, const input::PenInput& pen, platform::TextPainter* text);
void DrawPaletteButtons(Panels& p);
// The panels that writing hides.
void HideWorkPanels(Panels& p);

// Start-up: the picker image with a dot and a label per size, and the three palette panels
// with their swatches (the brush size panel above them).
void DrawBrushPicker(Panels& p, platform::TextPainter* text);
void BuildPalettes(Panels& p);

// The window's area outside the workspace, painted in the desk colour: at most four bands
// (above, below, left, right), in client pixels.
std::vector<gfx::Rect> DeskArea(const Panels& p);
// Where the workspace lies in a client area of the given size: centred when the window is
// larger; on a shorter window its bottom edge goes onto the window's, so that the play bar and
// the panels stay in reach (the top of the page is what is lost); on a narrower one it keeps to
// the left edge.
gfx::Point WorkspaceOrigin(int client_width, int client_height);

// What lies under a point of the window (client pixels), topmost first. The desk outside the
// workspace holds nothing.
enum class Surface {
  kNone,
  kWritingArea,
  kCalibrationTarget,
  kStampImage,  // ImgStamp over the page
  kPlayPanel,
  kControlPanel,
  kPalette,
  kBrushPicker,
  kZoomPanel,
  kOverview,  // ImgZoom on the zoom panel
  kGridPanel,
  kGridList,     // ImgGridSelect on the grid panel
  kGridPreview,  // ImgGrid on the grid panel
  kProgress,
};
struct Hit {
  Surface surface = Surface::kNone;
  int x = 0, y = 0;  // in the surface's own pixels
  int index = 0;     // palette row
};
Hit HitTest(const Panels& p, int x, int y);

}  // namespace zevo::workspace
