#pragma once

#include <QList>

#include "catalogue/CollectionStatistics.h"
#include "toolkit/ViewController.h"

class QFormLayout;
class QLabel;
class QTableWidget;
class QToolButton;

namespace quillon {

struct Services;
class BarChartView;

// The collection at a glance: the totals, then each figure as bars or as a plain table. A bar
// of a genre or a person opens that value's breakdown. The figures are counted anew each time
// the screen comes into view, so they follow edits, imports and deletes.
class StatisticsViewController : public ViewController {
    Q_OBJECT
public:
    explicit StatisticsViewController(Services& services, QWidget* parent = nullptr);

    void viewWillAppear() override;

    const CollectionStatistics& statistics() const { return statistics_; }
    BarChartView* chart(int section) const { return charts_.value(section); }
    QTableWidget* table(int section) const { return tables_.value(section); }
    QToolButton* tablesButton() const { return tablesButton_; }
    QToolButton* pdfButton() const { return pdfButton_; }

private:
    void showFigures();
    void showAsTables(bool tables);
    void openValue(int section, int row);
    void saveAsPdf();

    Services& services_;
    CollectionStatistics statistics_;
    std::vector<StatisticsSection> sections_;
    QFormLayout* totals_;
    QList<BarChartView*> charts_;
    QList<QTableWidget*> tables_;
    QToolButton* tablesButton_;
    QToolButton* pdfButton_;
};

}  // namespace quillon
