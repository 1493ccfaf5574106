#pragma once

namespace zevo::settings {

// The names of the stored values.
inline constexpr char kTabletReverse[] = "Tablet_Reverse";
inline constexpr char kAuthor[] = "Author";
inline constexpr char kPassword[] = "Password";
inline constexpr char kCursorStyle[] = "Cursor_Style";
inline constexpr char kPrintScale[] = "Print_Scale";
inline constexpr char kSkinPath[] = "Skin_Path";
inline constexpr char kSavePath[] = "Save_Path";
inline constexpr char kStampPath[] = "Stamp_Path";
inline constexpr char kTexturePath[] = "Texture_Path";
inline constexpr char kImagePath[] = "Image_Path";
inline constexpr char kReplayRate[] = "Replay_Rate";
inline constexpr char kTabletOffsetX[] = "Tablet_OffsetX";
inline constexpr char kTabletOffsetY[] = "Tablet_OffsetY";
inline constexpr char kPenExRatio[] = "Pen_ExRatio";
inline constexpr char kPenReRatio[] = "Pen_ReRatio";
inline constexpr char kPenExMax[] = "Pen_ExMax";
inline constexpr char kPenContour[] = "Pen_Contour";
inline constexpr char kTabletPrsMin[] = "Tablet_PrsMin";
inline constexpr char kTabletPrsMax[] = "Tablet_PrsMax";
inline constexpr char kTabletPrsGamma[] = "Tablet_PrsGamma";

}  // namespace zevo::settings
