#pragma once

#include <QString>
#include <functional>

#include "store/Status.h"

class QPrinter;
class QTextDocument;
class QWidget;

namespace quillon {

// The device's printers. A device boundary: tests give screens one of their own.
class Printer {
public:
    virtual ~Printer() = default;
    // Asks over `parent`'s window where and how to print `document` and returns at once; the
    // document is copied, so it may change or go away meanwhile. `done` runs later on the main
    // thread, once: sent true when a job went out, false with an empty error when the user
    // cancelled, false with the reason when the job failed.
    virtual void print(QWidget* parent, const QTextDocument& document,
                       std::function<void(bool sent, QString error)> done) = 0;
};

// Qt's print dialog, opened without blocking; the document is laid out for the chosen printer
// and page.
class DesktopPrinter : public Printer {
public:
    void print(QWidget* parent, const QTextDocument& document,
               std::function<void(bool sent, QString error)> done) override;
};

// Prints `document` on `printer`. QPrinter tells nothing of a file it could not write, so a job
// into a file (the printer's output file name) goes to a private file first, is checked to be a
// whole PDF, and only then is written to the output file, which the rules of every file the
// program writes apply to (store/OutputTarget.h; `dataDir` is the catalogue's folder).
Status printDocument(QPrinter& printer, const QTextDocument& document, const QString& dataDir);

}  // namespace quillon
