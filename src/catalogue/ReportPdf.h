#pragma once

#include <QString>
#include <functional>

#include "store/Status.h"

class QIODevice;
class QPainter;
class QPdfWriter;

namespace quillon {

class ReportDocument;

// Reports are PDF pages of 612 x 792 pt whose text is laid out 595.2 pt wide.
inline constexpr qreal kReportPageWidth = 612;
inline constexpr qreal kReportPageHeight = 792;
inline constexpr qreal kReportLayoutWidth = 595.2;
// The view width (pixels of 1/96 inch) to build a report for these pages with.
inline constexpr qreal kReportViewWidth = kReportLayoutWidth * 96 / 72;

// Draws pages with `painter` on `writer` (report-sized pages, no margins; writer.newPage() for
// each page after the first).
using PdfDrawing = std::function<void(QPdfWriter& writer, QPainter& painter)>;
// A PDF drawn by `draw`, written to `device`; a write that fails is told, never taken for done.
Status writePdf(QIODevice* device, const PdfDrawing& draw);
// The same into the file at `path` through an OutputFile: whole or not at all.
Status writePdfFile(const QString& path, const QString& dataDir, const PdfDrawing& draw);

// Lays the report out for the PDF, in pages as tall as the page they are drawn on, so that every
// line is on a page, and writes them to `device`; a cover whose small copy is as sharp as it is
// drawn goes in as that copy's stored JPEG. The document stays laid out for the PDF.
Status writeReportPdf(ReportDocument& document, QIODevice* device);
// The same into the file at `path`, whole or not at all (an earlier file stays as it was); never
// over anything but a regular file, nor over a file of the catalogue in `dataDir`.
Status writeReportPdfFile(ReportDocument& document, const QString& path, const QString& dataDir);

}  // namespace quillon
