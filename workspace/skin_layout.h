#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "gfx/bitmap24.h"

namespace zevo::workspace {

// Where everything lies on the skinned panels, named once.

// The panels' own colour under the skin.
inline constexpr gfx::Color kPanelFace = 0x00E1E6E8;

// The workspace: the page, the play bar and the panels over them, laid out for a 1024 x 768
// screen. A larger window shows it centred on the desk colour, a muted warm grey that cannot
// be mistaken for paper.
inline constexpr int kWorkspaceWidth = 1024;
inline constexpr int kWorkspaceHeight = 768;
inline constexpr gfx::Color kDeskColor = gfx::Rgb(138, 133, 124);

// The labels the control panel writes on the tool and "Clear" buttons of the skin: English in
// the skin's ink, the Chinese name below it in the skin's grey, as the skin's own buttons are
// labelled.
inline constexpr gfx::Color kButtonInk = gfx::Rgb(31, 29, 26);
inline constexpr gfx::Color kButtonInkChinese = gfx::Rgb(112, 106, 97);
inline constexpr int kButtonLabelSize = 11;
inline constexpr int kButtonChineseSize = 10;

inline constexpr int kPlayPanelHeight = 52;
inline constexpr int kControlPanelWidth = 1024;
inline constexpr int kControlPanelHeight = 130;
inline constexpr int kControlPanelTop = 638;
inline constexpr int kZoomPanelWidth = 277;
inline constexpr int kZoomPanelHeight = 228;
inline constexpr int kGridPanelWidth = 400;
inline constexpr int kGridPanelHeight = 224;
// The zoom and grid panels open above the control panel, two pixels from the right edge.
inline constexpr int kSidePanelRight = 1022;
// The overview on the zoom panel.
inline constexpr int kOverviewLeft = 11;
inline constexpr int kOverviewTop = 23;
inline constexpr std::array<gfx::Point, 4> kZoomButtons{
    {{21, 207}, {81, 207}, {141, 207}, {201, 207}}};
inline constexpr int kZoomBodyTop = 13;
// The zoom panel shrinks to its title strip when closed; it keeps its bottom edge.
inline constexpr int kZoomTitleHeight = 13;
// The grid panel: the preset list and the preview of the lattice, and the pictures of its two
// line toggles.
inline constexpr int kGridListLeft = 11;
inline constexpr int kGridListTop = 16;
inline constexpr int kGridListWidth = 120;
inline constexpr int kGridListHeight = 180;
inline constexpr int kGridPreviewLeft = 134;
inline constexpr int kGridPreviewTop = 16;
inline constexpr gfx::Point kGridVerticalToggle{20, 202};
inline constexpr gfx::Point kGridHorizontalToggle{75, 202};
// The calibration target.
inline constexpr int kTargetSize = 256;
// The brush picker.
inline constexpr int kBrushPickerWidth = 180;
inline constexpr int kBrushPickerHeight = 315;

// The player track on the play panel: the indicator is drawn over x 36..453, y 21..32; a click
// on it picks one of 417 steps of the history.
inline constexpr int kTrackLeft = 36;
inline constexpr int kTrackTop = 21;
inline constexpr int kTrackBottom = 32;
inline constexpr int kTrackWidth = 417;
inline constexpr int kKnobWidth = 6;

// The toggles on the control panel.
inline constexpr gfx::Point kTraceToggle{412, 22};
inline constexpr gfx::Point kGridToggle{531, 22};

// What a click on a region does.
enum class Command {
  kNone,
  // Control panel.
  kBrushPicker,  // open or close the brush size picker
  kPaletteBlack,
  kPaletteRed,
  kPaletteYellow,
  kToolButton,  // brush / fill
  kClear,
  kTraceToggle,  // the trace model on or off (asks for one when none is loaded)
  kOpenTrace,    // OpenWordGND: load a trace model
  kGridToggle,
  kGridPanel,  // open or close the grid panel
  kAddStamp,
  kCaptureStamp,  // SaveStamp, then AddStamp
  kNewPaper,
  kOptions,  // CallOption
  kClose,
  kCenterCheck,
  kDataSave,
  kDataOpen,
  kPrintPic,
  kSavePic,
  // Control and play panels.
  kGotoFirst,
  kDataPlay,
  kDataStop,
  // Play panel.
  kGotoPoint,  // a click on the player track
  kGotoPrev,
  kGotoNext,
  kGotoLast,
  kShowControl,
  // Zoom panel.
  kZoomTitle,  // open or close the zoom panel
  kZoom100,
  kZoom200,
  kZoom400,
  kZoom800,
  // Grid panel, on the release of the button.
  kGridVertical,    // the preset's vertical lines on or off
  kGridHorizontal,  // its horizontal lines on or off
  kGridPrevious,
  kGridNext,
  kGridApply,
};

enum class Panel { kControl, kPlay, kZoom, kGrid };

// One clickable region of a panel, in the panel's pixels (right and bottom exclusive).
struct Region {
  Panel panel;
  std::string_view name;
  gfx::Rect rect;
  Command command;
};

// The click maps of the panels; the first region that holds a point is the one clicked. The
// overview on the zoom panel and the preset list and preview on the grid panel lie over their
// panels and take their own clicks first (workspace/panels.h, HitTest).
inline constexpr int kWide = 1 << 20;  // the play panel is as wide as the screen
inline constexpr std::array<Region, 41> kRegions{{
    {Panel::kControl, "BrushPicker", {53, 24, 114, 83}, Command::kBrushPicker},
    {Panel::kControl, "ToolButton", {118, 24, 175, 52}, Command::kToolButton},
    {Panel::kControl, "Clear", {118, 55, 175, 83}, Command::kClear},
    {Panel::kControl, "PaletteBlack", {179, 24, 239, 83}, Command::kPaletteBlack},
    {Panel::kControl, "PaletteRed", {239, 24, 307, 83}, Command::kPaletteRed},
    {Panel::kControl, "PaletteYellow", {307, 24, 369, 83}, Command::kPaletteYellow},
    {Panel::kControl, "TraceToggle", {403, 24, 521, 45}, Command::kTraceToggle},
    {Panel::kControl, "OpenTrace", {403, 45, 521, 83}, Command::kOpenTrace},
    {Panel::kControl, "GridToggle", {521, 24, 625, 45}, Command::kGridToggle},
    {Panel::kControl, "GridPanel", {625, 24, 658, 45}, Command::kGridPanel},
    {Panel::kControl, "AddStamp", {521, 45, 658, 83}, Command::kAddStamp},
    {Panel::kControl, "GotoFirst", {677, 16, 754, 83}, Command::kGotoFirst},
    {Panel::kControl, "NewPaper", {754, 16, 833, 83}, Command::kNewPaper},
    {Panel::kControl, "Options", {833, 16, 913, 83}, Command::kOptions},
    {Panel::kControl, "Close", {913, 16, kWide, 83}, Command::kClose},
    {Panel::kControl, "CenterCheck", {0, 93, 92, kWide}, Command::kCenterCheck},
    {Panel::kControl, "DataSave", {92, 93, 224, kWide}, Command::kDataSave},
    {Panel::kControl, "DataOpen", {224, 93, 358, kWide}, Command::kDataOpen},
    {Panel::kControl, "DataPlay", {358, 93, 494, kWide}, Command::kDataPlay},
    {Panel::kControl, "DataStop", {494, 93, 622, kWide}, Command::kDataStop},
    {Panel::kControl, "CaptureStamp", {622, 93, 766, kWide}, Command::kCaptureStamp},
    {Panel::kControl, "PrintPic", {766, 93, 892, kWide}, Command::kPrintPic},
    {Panel::kControl, "SavePic", {892, 93, kWide, kWide}, Command::kSavePic},
    {Panel::kPlay,
     "Track",
     {kTrackLeft, 18, kTrackLeft + kTrackWidth + 1, kWide},
     Command::kGotoPoint},
    {Panel::kPlay, "Play", {463, 0, 527, kWide}, Command::kDataPlay},
    {Panel::kPlay, "Stop", {527, 0, 592, kWide}, Command::kDataStop},
    {Panel::kPlay, "First", {598, 15, 655, kWide}, Command::kGotoFirst},
    {Panel::kPlay, "Prev", {655, 15, 714, kWide}, Command::kGotoPrev},
    {Panel::kPlay, "Next", {714, 15, 775, kWide}, Command::kGotoNext},
    {Panel::kPlay, "Last", {775, 15, 833, kWide}, Command::kGotoLast},
    {Panel::kPlay, "ShowControl", {864, 0, kWide, kWide}, Command::kShowControl},
    // The zoom panel's title strip and, below the overview, its four zoom choices.
    {Panel::kZoom, "ZoomTitle", {0, 0, kWide, 13}, Command::kZoomTitle},
    {Panel::kZoom, "Zoom100", {0, 193, 80, kWide}, Command::kZoom100},
    {Panel::kZoom, "Zoom200", {80, 193, 140, kWide}, Command::kZoom200},
    {Panel::kZoom, "Zoom400", {140, 193, 200, kWide}, Command::kZoom400},
    {Panel::kZoom, "Zoom800", {200, 193, kWide, kWide}, Command::kZoom800},
    // The grid panel's buttons below its list and preview.
    {Panel::kGrid, "GridVertical", {18, 198, 69, kWide}, Command::kGridVertical},
    {Panel::kGrid, "GridHorizontal", {69, 198, 123, kWide}, Command::kGridHorizontal},
    {Panel::kGrid, "GridPrevious", {261, 198, 282, kWide}, Command::kGridPrevious},
    {Panel::kGrid, "GridNext", {282, 198, 307, kWide}, Command::kGridNext},
    {Panel::kGrid, "GridApply", {307, 198, kWide, kWide}, Command::kGridApply},
}};

// The region of a panel that holds the point, if any.
const Region* RegionAt(Panel panel, int x, int y);
// A region by its name; nullptr when there is none.
const Region* RegionNamed(std::string_view name);

}  // namespace zevo::workspace
