#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "catalogue/GroupKind.h"
#include "store/Records.h"
#include "toolkit/ViewController.h"

class QPushButton;
class QTextEdit;

namespace quillon {

class ManagedObjectContext;
class ReportDocument;
struct Services;

// The print report of the breakdown that opened it (named in CallingScreen): the movies of the
// value that breakdown keeps in the selection, in the name order last chosen, shown as a
// read-only text and handed to the printer. Opening it, and every rebuild, offers the print
// dialog.
class PrintMoviesViewController : public ViewController {
    Q_OBJECT
public:
    explicit PrintMoviesViewController(Services& services, QWidget* parent = nullptr);
    ~PrintMoviesViewController() override;

    void viewDidLoad() override;

    QPushButton* PrintButton;       // prints the text shown; hidden when there is nothing
    QPushButton* CreateFileButton;  // builds the report again
    QTextEdit* FileTextView;
    ManagedObjectContext* managedObjectContext = nullptr;
    std::vector<MoviePtr> MovieList;
    std::unique_ptr<ReportDocument> MovieString;

    void fetchPrintMovies(GroupKind kind);
    void buildPrintReport();
    void CreateFileClick();
    void EmailFileClick();
    void presentPrintDialog();

private:
    Services& services_;
    std::optional<GroupKind> kind_;
};

}  // namespace quillon
