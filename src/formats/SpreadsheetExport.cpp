#include "formats/ColumnMapping.h"
#include "formats/CsvText.h"
#include "formats/SteppedExport.h"

namespace quillon::exchange {
namespace {

// Text is handed to the device in pieces of about this many characters.
constexpr qsizetype kFlushCharacters = 1 << 20;

// Our spreadsheet: RFC 4180 with CR LF, UTF-8 with a byte-order mark (spreadsheets read UTF-8
// only with one), a header row of the form's titles, every text and number of a movie, cells
// guarded against being run as formulas. Covers are not written; imdb never travels.
class SpreadsheetExport : public SteppedExport {
public:
    using SteppedExport::SteppedExport;

    QString leftOut() const override {
        return "Covers are not written to a spreadsheet; export a Quillon file or a Tellico "
               "collection to keep them.";
    }

protected:
    bool writeHead() override {
        QStringList titles;
        for (const ColumnTarget target : spreadsheetColumns())
            titles << QString::fromLatin1(targetInfo(target).title);
        return write("\xEF\xBB\xBF") && writeRow(titles);
    }

    bool writeMovie(const Movies& movie) override {
        bool first = true;
        for (const ColumnTarget target : spreadsheetColumns()) {
            if (!first) pending_ += options_.delimiter;
            first = false;
            const Attribute a = *targetInfo(target).attribute;
            if (isNumberAttribute(a)) {
                const qint16 number = movie.number(a);
                if (number != 0) appendCell(QString::number(number));
            } else if (const QString* text = movie.textIfPresent(a)) {
                appendCell(*text);
            }
        }
        return endRow();
    }

    bool writeTail() override { return flush(); }

private:
    bool writeRow(const QStringList& cells) {
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0) pending_ += options_.delimiter;
            appendCell(cells[i]);
        }
        return endRow();
    }

    void appendCell(const QString& text) {
        appendGuardedCsvCell(pending_, text, options_.delimiter);
    }

    bool endRow() {
        pending_ += QStringLiteral("\r\n");
        return pending_.size() < kFlushCharacters || flush();
    }

    bool flush() {
        if (options_.keepsDisplayText) displayText_ += pending_;
        const bool written = write(pending_.toUtf8());
        pending_.clear();
        return written;
    }

    QString pending_;
};

}  // namespace

std::unique_ptr<CatalogueExport> makeSpreadsheetExport(ManagedObjectContext& context,
                                                       QIODevice* device,
                                                       const ExportOptions& options) {
    return std::make_unique<SpreadsheetExport>(context, device, options);
}

}  // namespace quillon::exchange
