#pragma once

#include <QString>

#include "feedback/RateShareMenu.h"
#include "toolkit/ViewController.h"

class QStandardItemModel;

namespace quillon {

class MailService;
class ShareSheet;
class TableView;
class UrlOpener;

// Rate and share: five fixed rows, each running one action by its position. A row whose
// address this build lacks says "Not available in this build", is drawn faded and cannot be
// chosen.
class RateShareTableViewController : public ViewController {
    Q_OBJECT
public:
    // The services are the caller's and must outlive the screen.
    RateShareTableViewController(RateShareAddresses addresses, ShareSheet& shareSheet,
                                 MailService& mailService, UrlOpener& urlOpener,
                                 QWidget* parent = nullptr);
    void viewDidLoad() override;

    // Deselects the row, then runs its action; rows past the last do nothing.
    void didSelectRow(int row);

    const QString productURL;
    const QString instructions;
    const QString website;
    const QString feedbackAddress;

    TableView* tableView() const { return tableView_; }

private:
    void rate();
    void share(const QUrl& url);
    void shareWebPage();
    void visitWebPage();
    void sendFeedback();
    void open(const QUrl& url, const QString& address);
    void presentAlert(const QString& title, const QString& message);

    ShareSheet& shareSheet_;
    MailService& mailService_;
    UrlOpener& urlOpener_;
    TableView* tableView_;
    QStandardItemModel* rows_;
};

}  // namespace quillon
