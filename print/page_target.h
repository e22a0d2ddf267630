#pragma once

#include <QSize>
#include <string>

class QPainter;

namespace kelvara {

// Where output pages go: a printer job, a PDF file or picture files. The
// page composer asks for a page, paints it and hands it back.
class PageTarget {
 public:
  virtual ~PageTarget() = default;

  // Size in pixels of the area the page grid is laid over.
  virtual QSize pageSize() const = 0;
  // A picture page at two or four times the picture resolution is composed
  // from the glyph pictures of that scale: 2 or 4; 0 draws the glyphs from
  // their outlines (other resolutions, printers and PDF files).
  virtual int glyphScale() const { return 0; }
  // Starts page `page` (from 1) of part `part` (index 0..10). Returns an
  // error message, empty when the painter may be used.
  virtual std::string beginPage(int part, int page) = 0;
  // The painter of the page begun last; white, with its origin at the top
  // left of the page area.
  virtual QPainter& painter() = 0;
  // Finishes the page begun last: a picture file is written whole, a printer
  // page is closed. Returns an error message naming the file or printer.
  virtual std::string endPage() = 0;
  // Ends the job after the last page, also after a cancel (keep true: the
  // pages finished stay) or an error (keep false: what the job holds may be
  // dropped). Returns an error message.
  virtual std::string finish(bool keep) = 0;
};

// Progress of a long output; the shell shows it and lets the user cancel.
class OutputProgress {
 public:
  virtual ~OutputProgress() = default;
  // Called before anything is drawn with the number of pages, and after each
  // page with the number finished. False stops the output before the next page.
  virtual bool pagesDone(int done, int total) = 0;
};

}  // namespace kelvara
