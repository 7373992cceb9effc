#pragma once

#include <QWidget>

#include "formats/FileImport.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

namespace quillon {

// The import screen's preview of a picked file: its format, the first rows as they will be read,
// each column's field (chosen per column for a spreadsheet, "(ignore)" allowed; fixed for the
// other formats), how a spreadsheet is read (separator, encoding, unmapped values in the notes),
// and what a dry run counts. Shows catalogue text as plain text only.
class ImportPreviewView : public QWidget {
    Q_OBJECT
public:
    explicit ImportPreviewView(QWidget* parent = nullptr);

    // What an import read in begin(); `problem` is why it cannot go on, if it cannot.
    void showPreview(const exchange::ImportPreview& preview, const QString& problem);
    void showCounts(const QString& text);
    // The choices made here, into the options of the next reading.
    void applyChoices(exchange::ImportOptions& options) const;
    // The column titles shown, in order.
    QStringList columnTitles() const;
    // The field chosen for each column, by its key.
    QHash<QString, exchange::ColumnTarget> chosenColumns() const;

    QLabel* formatLabel;
    QComboBox* separatorBox;
    QComboBox* encodingBox;
    QCheckBox* notesBox;
    QTableWidget* table;  // the first row holds the fields, the rows below the file's
    QLabel* countsLabel;
    // The field box of a spreadsheet's column; null for the fixed columns of other formats.
    QComboBox* columnBox(int column) const;

signals:
    // The separator or the encoding changed: the file must be read again.
    void readingChanged();
    // A column's field or the notes box changed: the counts must be made again.
    void columnsChanged();

private:
    void showColumns(const exchange::ImportPreview& preview);
    void showRows(const exchange::ImportPreview& preview);
};

}  // namespace quillon
