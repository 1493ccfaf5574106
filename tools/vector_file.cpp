#include "tools/vector_file.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/file_system.h"

namespace zevo::tools {
namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

cairo_status_t WriteToSink(void* closure, const unsigned char* data, unsigned int length) {
  (*static_cast<const base::ByteSink*>(closure))(data, length);
  return CAIRO_STATUS_SUCCESS;
}

// The bitmap as a cairo image: opaque, or with white transparent (pictures and seals).
Surface ImageOf(const gfx::Bitmap24& b, bool white_transparent) {
  Surface s(cairo_image_surface_create(white_transparent ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                       b.Width(), b.Height()));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return s;
  cairo_surface_flush(s.get());
  unsigned char* data = cairo_image_surface_get_data(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* from = b.Row(y);
    auto* to = reinterpret_cast<std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
    for (int x = 0; x < b.Width(); ++x, from += 3) {
      // Bytes blue, green, red; cairo holds 0xAARRGGBB words, premultiplied.
      const std::uint32_t rgb =
          std::uint32_t(from[2]) << 16 | std::uint32_t(from[1]) << 8 | from[0];
      to[x] = white_transparent && rgb == 0xFFFFFFu ? 0u : 0xFF000000u | rgb;
    }
  }
  cairo_surface_mark_dirty(s.get());
  return s;
}

// Paints image over [0, w) x [0, h) of the current user space, smoothly enlarged or with its
// pixels kept square.
void PaintImage(cairo_t* c, cairo_surface_t* image, double w, double h, cairo_filter_t filter) {
  cairo_save(c);
  cairo_scale(c, w / cairo_image_surface_get_width(image),
              h / cairo_image_surface_get_height(image));
  cairo_set_source_surface(c, image, 0, 0);
  cairo_pattern_t* p = cairo_get_source(c);
  // Edges stay sharp at the rectangle's border however the image is enlarged.
  cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(p, filter);
  cairo_rectangle(c, 0, 0, cairo_image_surface_get_width(image),
                  cairo_image_surface_get_height(image));
  cairo_fill(c);
  cairo_restore(c);
}

void FillStroke(cairo_t* c, const output::VectorStroke& s) {
  cairo_new_path(c);
  for (const output::VectorDisc& d : s.discs) {
    cairo_new_sub_path(c);
    cairo_arc(c, d.x, d.y, d.r, 0, 2 * M_PI);
    cairo_close_path(c);
  }
  for (const output::VectorQuad& q : s.quads) {
    cairo_move_to(c, q.x[0], q.y[0]);
    for (int i = 1; i < 4; ++i) cairo_line_to(c, q.x[i], q.y[i]);
    cairo_close_path(c);
  }
  cairo_set_source_rgb(c, gfx::RedOf(s.color) / 255.0, gfx::GreenOf(s.color) / 255.0,
                       gfx::BlueOf(s.color) / 255.0);
  cairo_set_fill_rule(c, CAIRO_FILL_RULE_WINDING);
  cairo_fill(c);
}

std::string Draw(cairo_t* c, const output::VectorSheet& sheet, const VectorPage& page) {
  const double w = sheet.width, h = sheet.height;
  const double s = std::min(page.width / w, page.height / h);
  cairo_translate(c, (page.width - w * s) / 2, (page.height - h * s) / 2);
  cairo_scale(c, s, s);
  Surface under = ImageOf(sheet.underlay, false);
  if (cairo_surface_status(under.get()) != CAIRO_STATUS_SUCCESS)
    return std::string("cannot hold the paper image: ") +
           cairo_status_to_string(cairo_surface_status(under.get()));
  // The paper is enlarged smoothly for print.
  PaintImage(c, under.get(), w, h, CAIRO_FILTER_GOOD);
  for (const output::VectorItem& item : sheet.items) {
    if (const auto* stroke = std::get_if<output::VectorStroke>(&item)) {
      FillStroke(c, *stroke);
      continue;
    }
    const auto& image = std::get<output::VectorImage>(item);
    Surface picture = ImageOf(*image.bitmap, true);
    if (cairo_surface_status(picture.get()) != CAIRO_STATUS_SUCCESS)
      return std::string("cannot hold a picture: ") +
             cairo_status_to_string(cairo_surface_status(picture.get()));
    cairo_save(c);
    cairo_translate(c, image.left, image.top);
    // Pixels kept square, as the sheet picture stretches them: a reader that smooths an image
    // with transparent pixels would blend its edges with their black.
    PaintImage(c, picture.get(), image.right - image.left, image.bottom - image.top,
               CAIRO_FILTER_NEAREST);
    cairo_restore(c);
  }
  if (cairo_status(c) != CAIRO_STATUS_SUCCESS) return cairo_status_to_string(cairo_status(c));
  return {};
}

}  // namespace

bool WriteVectorFile(const output::VectorSheet& sheet, const std::string& path, VectorFormat format,
                     std::optional<VectorPage> page, std::string* error) {
  if (sheet.width <= 0 || sheet.height <= 0 || sheet.underlay.Empty()) {
    if (error) *error = "an empty sheet cannot be written";
    return false;
  }
  const VectorPage p = page.value_or(VectorPage{double(sheet.width), double(sheet.height)});
  const Result<bool> saved = platform::DefaultFileSystem().ReplaceFileAtomically(
      path, [&](const base::ByteSink& sink, std::string& why) {
        const void* closure = &sink;
        Surface surface(format == VectorFormat::Pdf
                            ? cairo_pdf_surface_create_for_stream(
                                  WriteToSink, const_cast<void*>(closure), p.width, p.height)
                            : cairo_svg_surface_create_for_stream(
                                  WriteToSink, const_cast<void*>(closure), p.width, p.height));
        if (format == VectorFormat::Pdf) {
          cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Zevo 3");
        } else {
          cairo_svg_surface_restrict_to_version(surface.get(), CAIRO_SVG_VERSION_1_1);
          cairo_svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_PT);
        }
        Context c(cairo_create(surface.get()));
        why = Draw(c.get(), sheet, p);
        c.reset();
        cairo_surface_finish(surface.get());
        if (why.empty() && cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
          why = cairo_status_to_string(cairo_surface_status(surface.get()));
        return why.empty();
      });
  if (!saved && error) *error = saved.ErrorText();
  return saved.Ok();
}

}  // namespace zevo::tools
