#pragma once

#include <string>

#include "gfx/bitmap24.h"

namespace zevo::platform {

// One printer as the print command uses it: the printable page in device pixels and one
// job of one page onto which a bitmap is stretched.
class Printer {
 public:
  virtual ~Printer() = default;

  // The printable area's width and height in device pixels; (0, 0) when the printer is not usable.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;

  // Starts a job. False with error_text set when the printing system refuses.
  virtual bool BeginJob(std::string& error_text) = 0;
  // Stretches the whole bitmap onto page (device pixels, right and bottom exclusive, origin at
  // the printable area's top-left corner). Only between BeginJob and EndJob.
  virtual bool StretchBitmap(const gfx::Bitmap24& bitmap, gfx::Rect page,
                             std::string& error_text) = 0;
  // Finishes the job and sends it. False with error_text set when that fails.
  virtual bool EndJob(std::string& error_text) = 0;
};

}  // namespace zevo::platform
