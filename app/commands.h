#pragma once

#include <functional>

namespace zevo::app {

// Commands of the click maps and hot keys that later parts of the program provide. Each is
// empty until its command exists; a click on an empty one does nothing.
struct Commands {
  std::function<void()> data_save;           // DataSaveExecute
  std::function<void()> data_open;           // DataOpenExecute
  std::function<void()> open_word_gnd;       // OpenWordGNDExecute (load a trace model)
  std::function<void()> toggle_trace;        // trace model on/off and rebuild of the pages
  std::function<void()> add_stamp;           // AddStampExecute
  std::function<void()> save_stamp;          // SaveStampExecute
  std::function<void()> new_paper;           // NewPaperExecute
  std::function<void()> call_option;         // CallOptionExecute
  std::function<void()> print_pic;           // PrintPicExecute
  std::function<void()> save_pic;            // SavePicExecute
  std::function<void()> grid_panel_open;     // open or close the grid panel
  std::function<void()> grid_toggle;         // "show grid lines" on/off and rebuild of the page
  std::function<void()> zoom_to_100;         // choose and apply the 100 % zoom button
  std::function<void(int, int)> stamp_move;  // the seal being placed follows the mouse
};

}  // namespace zevo::app
