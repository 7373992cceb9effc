#include "support/TestSupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <stdexcept>

#include "app/ContextSave.h"
#include "images/SmallCoverImage.h"
#include "platform/DataFolders.h"
#include "toolkit/AlertController.h"

namespace quillon::test {

AppFixture::AppFixture() {
    DataFolders::setDataDir(dir_.path());
}

AppFixture::~AppFixture() {
    storyboard_.reset();
    services_.reset();
    review_.reset();
    deletes_.reset();
    store_.reset();
    DataFolders::setDataDir({});
}

void AppFixture::open() {
    if (store_) return;
    Status status;
    // As the program opens it: covers saved with their small copies.
    store_ = CatalogueStore::open(dir_.path(), &status, {.makeSmallCopy = smallCoverMaker()});
    // Nothing can go on without the store; the test fails with the reason.
    if (!store_)
        throw std::runtime_error(("cannot open a catalogue: " + status.describe()).toStdString());
    deletes_ = std::make_unique<DeleteHistory>(store_->viewContext());
    review_ = std::make_unique<ReviewService>(devices_.clock, devices_.storeReview);
    services_ = std::make_unique<Services>(makeServices(
        store_->viewContext(), [this] { return saveContext(); }, *deletes_, selection_, *review_,
        devices_.devices()));
    storyboard_ = std::make_unique<Storyboard>(*services_);
}

bool AppFixture::saveContext() {
    return saveTellingUser(context());
}

void AppFixture::restart() {
    storyboard_.reset();
    services_.reset();
    review_.reset();
    deletes_.reset();
    store_.reset();
}

QImage filledImage(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray imageBytes(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

QByteArray jpegOf(QSize size, QColor colour) {
    return imageBytes(filledImage(size, colour));
}

QByteArray withExifOrientation(const QByteArray& jpeg, int orientation) {
    // APP1 "Exif": a big-endian TIFF header and one IFD entry, Orientation (0x0112), a SHORT.
    QByteArray exif = QByteArray::fromHex(
        "FFE10022457869660000"
        "4D4D002A00000008"
        "0001"
        "011200030000000100000000"
        "00000000");
    exif[29] = char(orientation);
    return jpeg.left(2) + exif + jpeg.mid(2);
}

LogCapture::LogCapture() {
    previous_ = setDiagnosticSink([this](const QString& line) { lines << line; });
}

LogCapture::~LogCapture() {
    setDiagnosticSink(std::move(previous_));
}

void pumpEvents(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (timer.elapsed() < ms);
    QCoreApplication::processEvents();
    // Outside an event loop deleteLater() waits for this.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::unique_ptr<NavigationController> showNavigation(ViewController* root, QSize size,
                                                     Storyboard* storyboard) {
    auto navigation = std::make_unique<NavigationController>(root);
    if (storyboard) navigation->setStoryboard(storyboard);
    if (size.isValid()) navigation->resize(size);
    navigation->show();
    return navigation;
}

QStringList alertTexts() {
    QStringList texts;
    for (AlertController* alert : AlertController::presentedAlerts())
        texts << alert->title() + " / " + alert->message();
    return texts;
}

QString answerAlert(const QString& action) {
    pumpEvents();
    const QList<AlertController*> alerts = AlertController::presentedAlerts();
    if (alerts.size() > 1) {
        closeAlerts();
        return QString("%1 alerts").arg(alerts.size());
    }
    if (alerts.isEmpty()) return {};
    const QString shown = alerts[0]->title() + " / " + alerts[0]->message();
    const bool answered = alerts[0]->trigger(action);
    pumpEvents();
    return answered ? shown : shown + " (no " + action + ")";
}

AlertController* onlyAlert() {
    pumpEvents();
    const auto alerts = AlertController::presentedAlerts();
    return alerts.size() == 1 ? alerts[0] : nullptr;
}

void closeAlerts() {
    for (AlertController* alert : AlertController::presentedAlerts()) delete alert;
}

}  // namespace quillon::test
