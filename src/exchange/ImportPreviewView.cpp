#include "exchange/ImportPreviewView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillon {
namespace {

using exchange::ColumnTarget;
using exchange::FileFormat;

QLabel* plainLabel() {
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QComboBox* choiceBox(const QString& name, const QList<std::pair<QString, QVariant>>& choices) {
    auto* box = new QComboBox;
    box->setAccessibleName(name);
    for (const auto& [title, value] : choices) box->addItem(title, value);
    return box;
}

QTableWidgetItem* cellItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

ImportPreviewView::ImportPreviewView(QWidget* parent)
    : QWidget(parent),
      formatLabel(plainLabel()),
      separatorBox(choiceBox("Separator", {{"Separator: guessed", QVariant()},
                                           {"Comma", QString(",")},
                                           {"Semicolon", QString(";")},
                                           {"Tab", QString("\t")},
                                           {"Bar", QString("|")}})),
      encodingBox(
          choiceBox("Encoding", {{"Encoding: guessed", int(exchange::TextEncoding::Automatic)},
                                 {"UTF-8", int(exchange::TextEncoding::Utf8)},
                                 {"Windows-1252", int(exchange::TextEncoding::Windows1252)}})),
      notesBox(new QCheckBox("Keep values without a field in the notes")),
      table(new QTableWidget),
      countsLabel(plainLabel()) {
    formatLabel->setAccessibleName("Import Format");
    countsLabel->setAccessibleName("Dry Run");
    notesBox->setAccessibleName("Keep values without a field in the notes");
    notesBox->setChecked(true);
    table->setAccessibleName("Preview");
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(formatLabel);
    auto* reading = new QHBoxLayout;
    reading->addWidget(separatorBox);
    reading->addWidget(encodingBox);
    reading->addWidget(notesBox, 1);
    layout->addLayout(reading);
    layout->addWidget(table, 1);
    layout->addWidget(countsLabel);

    for (QComboBox* box : {separatorBox, encodingBox}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { emit readingChanged(); });
    }
    connect(notesBox, &QCheckBox::toggled, this, [this] { emit columnsChanged(); });
}

void ImportPreviewView::showPreview(const exchange::ImportPreview& preview,
                                    const QString& problem) {
    QString format = "Format: " + exchange::formatTitle(preview.format);
    if (!preview.details.isEmpty()) format += " (" + preview.details + ")";
    formatLabel->setText(problem.isEmpty() ? format : format + "\n" + problem);
    const bool spreadsheet = preview.format == FileFormat::Csv;
    separatorBox->setVisible(spreadsheet);
    encodingBox->setVisible(spreadsheet);
    notesBox->setVisible(preview.format != FileFormat::Quillon);
    showColumns(preview);
    showRows(preview);
    countsLabel->clear();
}

void ImportPreviewView::showColumns(const exchange::ImportPreview& preview) {
    table->clear();
    table->setColumnCount(int(preview.columns.size()));
    table->setRowCount(int(preview.rows.size()) + 1);
    QStringList titles;
    for (const auto& column : preview.columns) titles << column.title;
    table->setHorizontalHeaderLabels(titles);
    for (int c = 0; c < int(preview.columns.size()); ++c) {
        const auto& column = preview.columns[c];
        const QString field =
            QString::fromLatin1(exchange::targetInfo(column.mapping.target).title);
        if (!column.mappable) {
            table->setItem(0, c, cellItem(field));
            continue;
        }
        auto* box = new QComboBox;
        box->setAccessibleName("Field for column " + column.title);
        for (const exchange::ColumnTargetInfo& target : exchange::columnTargets())
            box->addItem(QString::fromLatin1(target.title), int(target.target));
        box->setCurrentIndex(box->findData(int(column.mapping.target)));
        connect(box, &QComboBox::currentIndexChanged, this, [this] { emit columnsChanged(); });
        table->setCellWidget(0, c, box);
    }
}

void ImportPreviewView::showRows(const exchange::ImportPreview& preview) {
    for (int r = 0; r < int(preview.rows.size()); ++r) {
        const QStringList& row = preview.rows[r];
        for (int c = 0; c < int(preview.columns.size()); ++c) {
            // One line a cell: the rest of a long text is there when imported.
            const QString text = row.value(c);
            table->setItem(r + 1, c, cellItem(text.section(u'\n', 0, 0).left(200)));
        }
    }
    table->resizeColumnsToContents();
}

void ImportPreviewView::showCounts(const QString& text) {
    countsLabel->setText(text);
}

QComboBox* ImportPreviewView::columnBox(int column) const {
    return qobject_cast<QComboBox*>(table->cellWidget(0, column));
}

QStringList ImportPreviewView::columnTitles() const {
    QStringList titles;
    for (int c = 0; c < table->columnCount(); ++c)
        titles << (table->horizontalHeaderItem(c) ? table->horizontalHeaderItem(c)->text() : "");
    return titles;
}

QHash<QString, ColumnTarget> ImportPreviewView::chosenColumns() const {
    QHash<QString, ColumnTarget> chosen;
    const QStringList titles = columnTitles();
    for (int c = 0; c < titles.size(); ++c) {
        if (const QComboBox* box = columnBox(c))
            chosen.insert(exchange::columnKey(titles[c]), ColumnTarget(box->currentData().toInt()));
    }
    return chosen;
}

void ImportPreviewView::applyChoices(exchange::ImportOptions& options) const {
    const QVariant separator = separatorBox->currentData();
    options.delimiter =
        separator.isValid() ? std::optional<QChar>(separator.toString().front()) : std::nullopt;
    options.encoding = exchange::TextEncoding(encodingBox->currentData().toInt());
    options.unmappedInNotes = notesBox->isChecked();
    const QHash<QString, ColumnTarget> chosen = chosenColumns();
    if (!chosen.isEmpty()) options.columnMap = chosen;
}

}  // namespace quillon
