#include "statistics/StatisticsViewController.h"

#include <QDir>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalogue/GroupKind.h"
#include "handover/Services.h"
#include "platform/DataFolders.h"
#include "platform/DiagnosticLog.h"
#include "platform/ShareSheet.h"
#include "statistics/BarChart.h"
#include "statistics/StatisticsPdf.h"
#include "store/CatalogueStore.h"
#include "toolkit/AlertController.h"

namespace quillon {

namespace {

constexpr int kSectionCount = 8;  // the figures statisticsSections() gives
constexpr char kPdfFileName[] = "Statistics.pdf";
constexpr int kReadableWidth = 760;  // bars across a whole wide window are hard to compare

QLabel* plainLabel(const QString& text = {}) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QToolButton* barButton(const QString& text) {
    auto* button = new QToolButton;
    button->setText(text);
    button->setAccessibleName(text);
    return button;
}

QTableWidget* figureTable(const QString& title) {
    auto* table = new QTableWidget(0, 2);
    table->setHorizontalHeaderLabels({QStringLiteral("Value"), QStringLiteral("Count")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setAccessibleName(title);
    return table;
}

void fillTable(QTableWidget* table, const StatisticsSection& section) {
    table->setRowCount(int(section.values.size()));
    for (int row = 0; row < int(section.values.size()); ++row) {
        const CountedValue& v = section.values[size_t(row)];
        table->setItem(row, 0, new QTableWidgetItem(v.value));
        auto* count = new QTableWidgetItem(QString::number(v.count));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, 1, count);
    }
    // The page scrolls, not each table: every row is shown.
    int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
    for (int row = 0; row < table->rowCount(); ++row) height += table->rowHeight(row);
    table->setFixedHeight(height);
}

}  // namespace

StatisticsViewController::StatisticsViewController(Services& services, QWidget* parent)
    : ViewController(parent),
      services_(services),
      totals_(new QFormLayout),
      tablesButton_(barButton(QStringLiteral("Tables"))),
      pdfButton_(barButton(QStringLiteral("Save as PDF"))) {
    setTitle(QStringLiteral("Statistics"));
    tablesButton_->setCheckable(true);
    tablesButton_->setToolTip(QStringLiteral("Show every figure as a table"));
    addRightBarButton(tablesButton_);
    addRightBarButton(pdfButton_);
    connect(tablesButton_, &QToolButton::toggled, this, &StatisticsViewController::showAsTables);
    connect(pdfButton_, &QToolButton::clicked, this, &StatisticsViewController::saveAsPdf);

    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addLayout(totals_);
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    for (const StatisticsSection& section : statisticsSections(statistics_)) {
        const int index = int(charts_.size());
        QLabel* title = plainLabel(section.title);
        title->setFont(titleFont);
        column->addSpacing(12);
        column->addWidget(title);
        auto* chart = new BarChartView;
        auto* table = figureTable(section.title);
        chart->setMaximumWidth(kReadableWidth);
        table->setMaximumWidth(kReadableWidth);
        column->addWidget(chart);
        column->addWidget(table);
        table->hide();
        connect(chart, &BarChartView::barActivated, this,
                [this, index](int row) { openValue(index, row); });
        connect(table, &QTableWidget::cellActivated, this,
                [this, index](int row, int) { openValue(index, row); });
        charts_ << chart;
        tables_ << table;
    }
    Q_ASSERT(charts_.size() == kSectionCount);
    column->addStretch(1);

    auto* scroll = new QScrollArea;
    scroll->setAccessibleName(QStringLiteral("Statistics"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
}

void StatisticsViewController::viewWillAppear() {
    statistics_ = collectionStatistics(services_.context);
    showFigures();
}

void StatisticsViewController::showFigures() {
    while (totals_->rowCount() > 0) totals_->removeRow(0);
    for (const auto& [label, value] : statisticsTotals(statistics_)) {
        QLabel* shown = plainLabel(value);
        shown->setAccessibleName(label);
        shown->setAccessibleDescription(value);  // else read as its caption alone
        totals_->addRow(plainLabel(label), shown);
    }
    sections_ = statisticsSections(statistics_);
    for (int i = 0; i < kSectionCount; ++i) {
        charts_[i]->setSection(sections_[size_t(i)]);
        fillTable(tables_[i], sections_[size_t(i)]);
    }
}

void StatisticsViewController::showAsTables(bool tables) {
    tablesButton_->setText(tables ? QStringLiteral("Charts") : QStringLiteral("Tables"));
    tablesButton_->setAccessibleName(tablesButton_->text());
    for (int i = 0; i < kSectionCount; ++i) {
        charts_[i]->setVisible(!tables);
        tables_[i]->setVisible(tables);
    }
}

void StatisticsViewController::openValue(int section, int row) {
    const StatisticsSection& shown = sections_.at(size_t(section));
    if (!shown.opens || row < 0 || row >= int(shown.values.size())) return;
    const CountedValue& picked = shown.values[size_t(row)];
    if (picked.noValue) return;  // no breakdown lists the movies without a value
    writePickedValue(*shown.opens, picked.value, services_.selection);
    performSegue(groupKindFacts(*shown.opens).tab.breakdownSegue);
}

void StatisticsViewController::saveAsPdf() {
    const QString path = QDir(DataFolders::documentsDir()).filePath(kPdfFileName);
    if (const Status written =
            writeStatisticsPdfFile(statistics_, path, services_.context.dataDir());
        !written) {
        diagnosticLog("Could not create PDF file: " + written.describe());
        AlertController::tell(this, QStringLiteral("PDF Report"),
                              "Could not create PDF file: " + written.error);
        return;
    }
    ShareRequest request;
    request.files = {path};
    services_.share.present(request, this);
}

}  // namespace quillon
