#include "reports/PrintMoviesViewController.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "catalogue/ReportText.h"
#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "platform/DiagnosticLog.h"
#include "platform/Printer.h"
#include "store/CatalogueStore.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"

namespace quillon {

PrintMoviesViewController::PrintMoviesViewController(Services& services, QWidget* parent)
    : ViewController(parent),
      PrintButton(new QPushButton(QStringLiteral("Print"))),
      CreateFileButton(new QPushButton(QStringLiteral("Create Report"))),
      FileTextView(new QTextEdit),
      services_(services) {
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {CreateFileButton, PrintButton}) {
        button->setMinimumHeight(36);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    FileTextView->setReadOnly(true);
    FileTextView->setAccessibleName(QStringLiteral("Report"));
    layout->addWidget(FileTextView, 1);
    connect(CreateFileButton, &QPushButton::clicked, this, [this] { CreateFileClick(); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { EmailFileClick(); });
}

PrintMoviesViewController::~PrintMoviesViewController() {
    // The text view shows the report: it goes first.
    delete FileTextView;
}

void PrintMoviesViewController::viewDidLoad() {
    setTitle(QStringLiteral("Print Report"));
    appearance::applyButtonLook(PrintButton);
    appearance::applyButtonLook(CreateFileButton);
    appearance::applyTextEntryLook(FileTextView);
    // The report is black text: keep it on white in the dark appearance too.
    if (appearance::isDarkAppearance()) appearance::applyDarkTextViewLook(FileTextView);
    kind_ = groupKindCalling(services_.selection.CallingScreen);
    if (kind_) fetchPrintMovies(*kind_);
}

void PrintMoviesViewController::fetchPrintMovies(GroupKind kind) {
    managedObjectContext = &services_.context;
    const SelectionState& selection = services_.selection;
    MovieList.clear();
    FileTextView->clear();
    MovieList =
        managedObjectContext->fetch<Movies>(breakdownFilter(kind, selectedValues(kind, selection)),
                                            {{Attribute::name, selection.SharedSortAsc}});
    buildPrintReport();
}

void PrintMoviesViewController::buildPrintReport() {
    if (MovieList.empty() || !kind_) {
        PrintButton->hide();
        present(AlertController::ok(QStringLiteral("Empty Data Set!"),
                                    QStringLiteral("No Movies to Print!")));
        return;
    }
    const SelectionState& selection = services_.selection;
    const QString picked = *kind_ == GroupKind::Actor     ? selection.SelectedActorName
                           : *kind_ == GroupKind::Actress ? selection.SelectedActressName
                                                          : QString();
    // Covers are a sixth of the screen's width; before it is first shown, of the place it fills.
    const QWidget* area = isVisible() || !parentWidget() ? this : parentWidget();
    const int viewWidth = area->width();
    auto report = buildReport(printReportFamily(), *kind_, MovieList, {qreal(viewWidth), picked});
    report->holdCovers();
    FileTextView->setDocument(report.get());
    MovieString = std::move(report);
    presentPrintDialog();
}

void PrintMoviesViewController::CreateFileClick() {
    buildPrintReport();
}

void PrintMoviesViewController::EmailFileClick() {
    presentPrintDialog();
}

void PrintMoviesViewController::presentPrintDialog() {
    const QPointer<PrintMoviesViewController> self = this;
    services_.printer.print(this, *FileTextView->document(), [self](bool sent, QString error) {
        if (sent) {
            diagnosticLog(QStringLiteral("Image is Printed"));
        } else if (error.isEmpty()) {
            diagnosticLog(QStringLiteral("nil"));
        } else if (self) {
            self->present(AlertController::ok(QStringLiteral("Print Failed"), error));
        }
    });
}

}  // namespace quillon
