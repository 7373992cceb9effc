// Makes the overview document: quillon_overview_pdf SOURCE.md OUTPUT.pdf
// The line kCommandTableMark of the source is replaced by the command table, made from the rows
// the program parses its command line by. Lays the Markdown out on A5 pages (they read well in a
// narrow window) with a page number under each, through QTextDocument and QPdfWriter. Run with
// QT_QPA_PLATFORM=offscreen; needs no display.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <cstdio>

#include "commands/CommandHelp.h"

namespace {

const QString kCommandTableMark = QStringLiteral("<!-- the command table -->");

const QColor kHeadingColour(0x9b, 0x1c, 0x1c);  // the dark red of the program's list headers
const QColor kFooterColour(0x70, 0x70, 0x70);
const QColor kRuleColour(0xb0, 0xb0, 0xb0);
const QColor kTableHeadColour(0xee, 0xee, 0xee);
constexpr double kBodyPointSize = 10;

int fail(const QString& message) {
    std::fprintf(stderr, "quillon_overview_pdf: %s\n", message.toLocal8Bit().constData());
    return 1;
}

// Headings in the program's red with room above them; the first heading is the title.
void styleHeadings(QTextDocument& document) {
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0) continue;
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        QTextCharFormat text;
        text.setForeground(kHeadingColour);
        cursor.mergeCharFormat(text);
        QTextBlockFormat spacing;
        spacing.setTopMargin(level == 1 ? 0 : 12);
        spacing.setBottomMargin(level == 1 ? 6 : 4);
        cursor.mergeBlockFormat(spacing);
    }
}

// Tables across the page with thin single rules, room in the cells and a grey head row. Lengths
// are in pixels at 96 per inch; the layout scales them to the writer.
void styleTables(QTextDocument& document) {
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        QTextTableFormat format = table->format();
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setBorder(1);
        format.setBorderBrush(kRuleColour);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(3);
        format.setTopMargin(3);
        format.setBottomMargin(6);
        table->setFormat(format);
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell head = table->cellAt(0, column);
            QTextCharFormat cell = head.format();
            cell.setBackground(kTableHeadColour);
            head.setFormat(cell);
        }
    }
}

// A heading left alone at the foot of a page starts the next page instead. Each move can shift
// later headings, so this runs until none is left alone.
void keepHeadingsWithText(QTextDocument& document) {
    const double pageHeight = document.pageSize().height();
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    // Blocks in a table cell are placed within their table; the table's top is what counts.
    auto pageOf = [&](const QTextBlock& block) {
        QTextFrame* frame = QTextCursor(block).currentFrame();
        const double top = frame && frame != document.rootFrame()
                               ? layout->frameBoundingRect(frame).top()
                               : layout->blockBoundingRect(block).top();
        return int(top / pageHeight);
    };
    for (bool moved = true; moved;) {
        moved = false;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextBlock next = block.next();
            const QTextBlockFormat format = block.blockFormat();
            if (format.headingLevel() == 0 || !next.isValid() || pageOf(block) == pageOf(next) ||
                format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                continue;
            QTextBlockFormat pageBreak;
            pageBreak.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).mergeBlockFormat(pageBreak);
            // The layout redoes only the changed block, leaving what follows it placed (and
            // drawn) as before the break; everything is laid out afresh instead.
            document.markContentsDirty(0, document.characterCount());
            moved = true;
            break;
        }
    }
}

QString documentTitle(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() == 1) return block.text();
    return QStringLiteral("Quillon");
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) return fail("usage: quillon_overview_pdf SOURCE.md OUTPUT.pdf");

    QFile source(arguments[1]);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(arguments[1] + ": " + source.errorString());
    QString markdown = QString::fromUtf8(source.readAll());
    if (!markdown.contains(kCommandTableMark))
        return fail(arguments[1] + ": the line " + kCommandTableMark + " is missing");
    markdown.replace(kCommandTableMark, quillon::commandGuideMarkdown());

    QSaveFile output(arguments[2]);
    if (!output.open(QIODevice::WriteOnly)) return fail(arguments[2] + ": " + output.errorString());

    QPdfWriter writer(&output);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait,
                                     QMarginsF(12, 12, 12, 9), QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("Quillon"));

    QTextDocument document;
    QFont body = document.defaultFont();
    body.setPointSizeF(kBodyPointSize);
    document.setDefaultFont(body);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    styleHeadings(document);
    styleTables(document);
    writer.setTitle(documentTitle(document));

    // Fonts in points come out right only when the layout measures on the writer itself.
    document.documentLayout()->setPaintDevice(&writer);
    document.setDocumentMargin(0);
    const QFontMetricsF footerMetrics(body, &writer);
    const double footerHeight = footerMetrics.height() * 2.5;
    const QSizeF page(writer.width(), writer.height() - footerHeight);
    document.setPageSize(page);
    keepHeadingsWithText(document);

    QPainter painter;
    if (!painter.begin(&writer)) return fail("cannot draw on " + arguments[2]);
    const int pageCount = document.pageCount();
    for (int index = 0; index < pageCount; ++index) {
        if (index > 0) writer.newPage();
        painter.save();
        painter.translate(0, -index * page.height());
        // A line that starts exactly at the page's foot belongs to the next page; a clip that
        // touches it would draw it here as well, invisible but found by text search.
        const double top = index * page.height();
        document.drawContents(&painter, QRectF(0, top + 1, page.width(), page.height() - 2));
        painter.restore();
        painter.setFont(QFont(body, &writer));
        painter.setPen(kFooterColour);
        painter.drawText(
            QRectF(0, writer.height() - footerMetrics.height(), writer.width(),
                   footerMetrics.height()),
            Qt::AlignCenter,
            QStringLiteral("Quillon overview \u2013 page %1 of %2").arg(index + 1).arg(pageCount));
    }
    if (!painter.end()) return fail("cannot finish " + arguments[2]);
    if (!output.commit()) return fail(arguments[2] + ": " + output.errorString());
    return 0;
}
