#include "feedback/RateShareTableViewController.h"

#include <QItemSelectionModel>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "platform/DiagnosticLog.h"
#include "platform/MailService.h"
#include "platform/ShareSheet.h"
#include "platform/UrlOpener.h"
#include "toolkit/AlertController.h"
#include "toolkit/TableView.h"

namespace quillon {

namespace {
constexpr int kRowHeight = 64;
const QString kCannotOpenTitle = QStringLiteral("Can't Open the Address");
}  // namespace

RateShareTableViewController::RateShareTableViewController(RateShareAddresses addresses,
                                                           ShareSheet& shareSheet,
                                                           MailService& mailService,
                                                           UrlOpener& urlOpener, QWidget* parent)
    : ViewController(parent),
      productURL(addresses.productURL),
      instructions(QString::fromUtf8(kRateShareInstructions)),
      website(addresses.website),
      feedbackAddress(addresses.feedbackAddress),
      shareSheet_(shareSheet),
      mailService_(mailService),
      urlOpener_(urlOpener),
      tableView_(new TableView(this)),
      rows_(new QStandardItemModel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tableView_);
    tableView_->setObjectName(QStringLiteral("rateShareTable"));
    tableView_->setAccessibleName(QStringLiteral("Rate and Share"));
    tableView_->setRowsDeletable(false);
    tableView_->setRowHeight(kRowHeight);
    tableView_->setModel(rows_);
    connect(tableView_, &TableView::rowSelected, this, &RateShareTableViewController::didSelectRow);
    setFocusOnAppear(tableView_);
}

void RateShareTableViewController::viewDidLoad() {
    setTitle(QStringLiteral("Rate and Share"));
    int firstAvailable = -1;
    for (int row = 0; row < kRateShareRowCount; ++row) {
        const RateShareRow kind = RateShareRow(row);
        const bool available = rateShareRowAvailable(kind, {productURL, website, feedbackAddress});
        QStringList texts{rateShareRowTitle(kind)};
        if (!available) texts << QString::fromUtf8(kNotAvailableInThisBuild);
        auto* item = new QStandardItem;
        item->setData(texts, LabelTextsRole);
        item->setData(texts.join(QStringLiteral(", ")), Qt::AccessibleTextRole);
        item->setEditable(false);
        // Shown faded; neither the keys nor a click can choose it.
        item->setEnabled(available);
        rows_->appendRow(item);
        if (available && firstAvailable < 0) firstAvailable = row;
    }
    // The arrow keys start from the first row that works, which is not shown as chosen.
    if (firstAvailable >= 0)
        tableView_->selectionModel()->setCurrentIndex(rows_->index(firstAvailable, 0),
                                                      QItemSelectionModel::NoUpdate);
}

void RateShareTableViewController::didSelectRow(int row) {
    tableView_->clearSelection();
    if (row < 0 || row >= kRateShareRowCount) return;
    const RateShareRow kind = RateShareRow(row);
    if (!rateShareRowAvailable(kind, {productURL, website, feedbackAddress})) return;
    switch (kind) {
        case RateShareRow::Rate:
            rate();
            break;
        case RateShareRow::ShareStorePage:
            share(parseAddress(productURL));
            break;
        case RateShareRow::ShareWebPage:
            shareWebPage();
            break;
        case RateShareRow::VisitWebPage:
            visitWebPage();
            break;
        case RateShareRow::SendFeedback:
            sendFeedback();
            break;
    }
}

void RateShareTableViewController::rate() {
    open(writeReviewUrl(parseAddress(productURL)), productURL);
}

void RateShareTableViewController::share(const QUrl& url) {
    if (!url.isValid()) {
        presentAlert(QStringLiteral("Can't Share the Address"),
                     QStringLiteral("%1 is not a web address.").arg(productURL));
        return;
    }
    ShareRequest request;
    request.urls << url;
    shareSheet_.present(request, this);
}

void RateShareTableViewController::shareWebPage() {
    ShareRequest request;
    request.texts << instructions << website;
    shareSheet_.present(request, this);
}

void RateShareTableViewController::visitWebPage() {
    open(parseAddress(website), website);
}

void RateShareTableViewController::sendFeedback() {
    if (!mailService_.canSendMail()) {
        presentAlert(QStringLiteral("Can't Send Email"),
                     QStringLiteral("Your Device is not able to send Email."));
        return;
    }
    // The desktop's mail handler takes plain text only, so the body goes without its markup.
    MailMessage message;
    message.recipients << feedbackAddress;
    message.body = QString::fromUtf8(kFeedbackBody);
    mailService_.compose(message, this, [this](const ProgramResult& result) {
        if (result) return;
        diagnosticLog(QStringLiteral("No mail program took the feedback: ") + result.reason);
        presentAlert(QStringLiteral("Can't Send Email"),
                     QStringLiteral("The e-mail program could not be started."));
    });
}

void RateShareTableViewController::open(const QUrl& url, const QString& address) {
    if (!url.isValid()) {
        presentAlert(kCannotOpenTitle, QStringLiteral("%1 is not a web address.").arg(address));
        return;
    }
    urlOpener_.openUrl(url, this, [this, url](const ProgramResult& result) {
        if (result) return;
        diagnosticLog(QStringLiteral("No program opened ") + url.toString() + ": " + result.reason);
        presentAlert(kCannotOpenTitle,
                     QStringLiteral("No program opened %1. Is a web browser set up?")
                         .arg(url.toDisplayString()));
    });
}

void RateShareTableViewController::presentAlert(const QString& title, const QString& message) {
    auto* alert = new AlertController(title, message);
    alert->addAction({QStringLiteral("OK"), AlertController::Style::Cancel, {}});
    present(alert);
}

}  // namespace quillon
