#include "movies/MovieFormViewController.h"

#include <QClipboard>
#include <QEvent>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

#include "handover/DetailItem.h"
#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "images/CoverImage.h"
#include "movies/CoverView.h"
#include "movies/MovieSegues.h"
#include "platform/Camera.h"
#include "platform/DiagnosticLog.h"
#include "platform/DocumentPicker.h"
#include "store/CatalogueStore.h"
#include "toolkit/ActivityIndicator.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"
#include "toolkit/ChoiceWheel.h"
#include "toolkit/TextEntry.h"

namespace quillon {

namespace {

constexpr const char* kImageNotLoadedTitle = "Image Not Loaded";

// What an edit put into the entry: the new text without the part it shares with the old one at
// either end.
QString replacementIn(const QString& before, const QString& after) {
    const qsizetype shorter = qMin(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return after.mid(prefix, after.size() - prefix - suffix);
}

// The numeric entry check. A line edit hands its validator the whole new text, so the check
// keeps the text before each edit to find the replacement in it.
class ReplacementCheck : public QValidator {
public:
    ReplacementCheck(QLineEdit* entry, FieldInput input)
        : QValidator(entry), input_(input), before_(entry->text()) {
        connect(entry, &QLineEdit::textChanged, this, [this](const QString& t) { before_ = t; });
    }
    State validate(QString& text, int&) const override {
        return acceptsReplacement(input_, replacementIn(before_, text)) ? Acceptable : Invalid;
    }
    // The form itself sets `text`: not an edit to judge.
    void expect(const QString& text) { before_ = text; }

private:
    FieldInput input_;
    QString before_;
};

// Red, readable on the form's background in the light and the dark appearance.
QColor requiredLabelColour(const QPalette& palette) {
    return appearance::firstReadable({QColor(192, 0, 0), QColor(255, 130, 130)},
                                     palette.color(QPalette::Window));
}

QToolButton* coverButton(const char* name, const char* title, const QIcon& icon) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(title);  // shown where the theme has no such icon
    button->setIcon(icon);
    button->setToolTip(title);
    button->setAccessibleName(title);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    appearance::applyButtonLook(button);
    return button;
}

}  // namespace

MovieFormViewController::MovieFormViewController(const MovieFormMember& member, Services& services,
                                                 QWidget* parent)
    : ViewController(parent), services_(services), member_(member) {
    setTitle(member_.title);
    auto* scroll = new QScrollArea;
    scroll->setAccessibleName(member_.title);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // In a wide window the entries keep a readable length, centred.
    scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    content_ = new QWidget;
    content_->setMaximumWidth(kReadableFormWidth);
    content_->installEventFilter(this);
    auto* column = new QVBoxLayout(content_);
    column->addLayout(buildEntries());
    auto* coverRow = new QHBoxLayout;
    coverRow->addWidget(buildCover(Front));
    coverRow->addWidget(buildCover(Back));
    column->addLayout(coverRow);
    column->addStretch(1);
    scroll->setWidget(content_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    saveButton_ = addSaveButton([this] { SaveButtonClicked(); });
    indicator_ = new ActivityIndicator(this);
    offerReturnPoint(member_.notesReturnPoint, [this] { notesReturned(); });
}

QGridLayout* MovieFormViewController::buildEntries() {
    auto* grid = new QGridLayout;
    int row = 0;
    for (const MovieFormField& f : kMovieFormFields) {
        const bool wheel = f.input == FieldInput::GenreWheel || f.input == FieldInput::RatingWheel;
        QLineEdit* edit = wheel ? new ChoiceWheel : new TextEntry;
        const QString name = f.entryName ? f.entryName : member_.notesEntryName;
        edit->setObjectName(name);
        auto* caption = new QLabel(f.caption);
        caption->setObjectName(QString(name).replace("TextField", "Label"));
        caption->setBuddy(edit);
        entries_[size_t(f.field)] = edit;
        labels_[size_t(f.field)] = caption;
        connect(edit, &QLineEdit::returnPressed, this, [this] { SaveButtonClicked(); });
        grid->addWidget(caption, row, 0);
        if (f.input != FieldInput::Notes) {
            grid->addWidget(edit, row++, 1);
            continue;
        }
        notesButton_ = new QPushButton("Notes");
        notesButton_->setObjectName(member_.notesButtonName);
        connect(notesButton_, &QPushButton::clicked, this, [this] { openNotes(); });
        auto* notesRow = new QHBoxLayout;
        notesRow->addWidget(edit, 1);
        notesRow->addWidget(notesButton_);
        grid->addLayout(notesRow, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

QWidget* MovieFormViewController::buildCover(Cover cover) {
    const FormCover& side = kFormCovers[cover];
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(side.caption), 0, Qt::AlignHCenter);
    auto* view = new CoverView;
    view->setObjectName(side.viewName);
    view->setAccessibleName(side.caption);
    covers_[cover] = view;
    column->addWidget(view, 1);
    connect(view, &CoverView::fileDropped, this,
            [this, cover](const QString& path) { loadFileInto(cover, path); });
    connect(view, &CoverView::pictureChanged, this, [this] { coversChanged_ = true; });
    connect(view, &CoverView::pictureRefused, this,
            [this](const QString& reason) { refusePicture(reason); });
    connect(view, &CoverView::decodeFinished, this, [this] { saveOnceLoaded(); });

    const char* pasteName = side.pasteName ? side.pasteName : member_.backPasteButtonName;
    QToolButton* paste = coverButton(pasteName, "Paste", QIcon::fromTheme("edit-paste"));
    QToolButton* folder =
        coverButton(side.folderName, "Folder",
                    QIcon::fromTheme("document-open", QIcon::fromTheme("folder-open")));
    QToolButton* camera = coverButton(side.cameraName, "Camera", QIcon::fromTheme("camera-photo"));
    QList<QToolButton*> buttons{paste, folder, camera};
    connect(paste, &QToolButton::clicked, this, [this, cover] { pasteFromClipboard(cover); });
    connect(folder, &QToolButton::clicked, this, [this, cover] { attachImage(cover); });
    connect(camera, &QToolButton::clicked, this, [this, cover] { openCamera(cover); });
    if (member_.removesCovers) {
        buttons << coverButton(side.removeName, "Remove", QIcon::fromTheme("edit-delete"));
        connect(buttons.last(), &QToolButton::clicked, this,
                [this, cover] { removeStoredImage(cover); });
    }
    // Both covers have these buttons: a screen reader tells them apart by their cover.
    for (QToolButton* button : buttons)
        button->setAccessibleName(QStringLiteral("%1: %2").arg(side.caption, button->text()));
    // Two to a row, so that both covers fit side by side in a narrow window.
    auto* grid = new QGridLayout;
    for (int i = 0; i < buttons.size(); ++i) grid->addWidget(buttons[i], i / 2, i % 2);
    column->addLayout(grid);
    return box;
}

void MovieFormViewController::viewDidLoad() {
    SelectionState& selection = services_.selection;
    OpenedFrom = selection.CallingScreen;
    selection.CallingScreen = member_.callingScreen;
    loadWheel(ListOfGenre, Entity::GenreList, Attribute::genre, FormField::Genre);
    loadWheel(ListOfRating, Entity::RatingList, Attribute::rating, FormField::Rating);
    for (const MovieFormField& f : kMovieFormFields) {
        QLineEdit* edit = entry(f.field);
        if (f.input == FieldInput::Digits || f.input == FieldInput::Decimal)
            edit->setValidator(new ReplacementCheck(edit, f.input));
        appearance::applyTextEntryLook(edit);
    }
    for (CoverView* view : covers_) appearance::applyTextEntryLook(view);
    appearance::applyButtonLook(notesButton_);
    styleRequiredLabels();
    markUnchanged();
}

void MovieFormViewController::loadWheel(QStringList& list, Entity entity, Attribute attribute,
                                        FormField field) {
    list.clear();
    const auto records = services_.context.fetch(FetchRequest{entity, std::nullopt, {{attribute}}});
    for (const auto& record : records) list << record->text(attribute).value_or(QString());
    auto* wheel = static_cast<ChoiceWheel*>(entry(field));
    wheel->setChoices(list);
    QFont font = wheel->font();
    font.setBold(true);
    font.setPointSize(16);
    wheel->setRowLook(font, Qt::AlignCenter);
}

void MovieFormViewController::styleRequiredLabels() {
    const QColor red = requiredLabelColour(palette());
    for (const MovieFormField& f : kMovieFormFields) {
        if (!isRequired(member_, f.field)) continue;
        QLabel* caption = label(f.field);
        QPalette pal = caption->palette();
        pal.setColor(QPalette::WindowText, red);
        caption->setPalette(pal);
        // Said in words too, for who cannot see or tell the colour.
        caption->setAccessibleDescription(QStringLiteral("required"));
        entry(f.field)->setAccessibleDescription(QStringLiteral("required"));
    }
}

void MovieFormViewController::changeEvent(QEvent* event) {
    ViewController::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && isViewLoaded()) styleRequiredLabels();
}

bool MovieFormViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_ && event->type() == QEvent::MouseButtonPress) dismissKeyboard();
    return ViewController::eventFilter(watched, event);
}

void MovieFormViewController::dismissKeyboard() {
    if (QWidget* focused = focusWidget()) focused->clearFocus();
}

FormTexts MovieFormViewController::entryTexts() const {
    FormTexts texts;
    for (size_t i = 0; i < texts.size(); ++i) texts[i] = entries_[i]->text();
    return texts;
}

void MovieFormViewController::setEntryTexts(const FormTexts& texts, bool notes) {
    for (size_t i = 0; i < texts.size(); ++i) {
        if (FormField(i) == FormField::Notes && !notes) continue;
        if (auto* check = dynamic_cast<const ReplacementCheck*>(entries_[i]->validator()))
            const_cast<ReplacementCheck*>(check)->expect(texts[i]);
        entries_[i]->setText(texts[i]);
    }
}

void MovieFormViewController::markUnchanged() {
    unchanged_ = entryTexts();
    coversChanged_ = false;
}

void MovieFormViewController::markUnchanged(FormField field) {
    unchanged_[size_t(field)] = entry(field)->text();
}

bool MovieFormViewController::hasUnsavedChanges() const {
    return coversChanged_ || entryTexts() != unchanged_;
}

bool MovieFormViewController::leavesByKey() const {
    return !busy_ && !hasUnsavedChanges();
}

void MovieFormViewController::tell(const QString& title, const QString& message) {
    present(AlertController::ok(title, message));
}

void MovieFormViewController::pasteFromClipboard(Cover cover) {
    const QImage picture = QGuiApplication::clipboard()->image();
    if (picture.isNull()) {
        tell("Clipboard", "There is no image in the Clipboard");
        return;
    }
    takeIn(cover, picture);
}

void MovieFormViewController::attachImage(Cover cover) {
    isFrontImage = cover == Front;
    isBackImage = cover == Back;
    QPointer<MovieFormViewController> self(this);
    // Into the cover that asked, whatever was pressed meanwhile.
    services_.picker.pickPicture(
        this,
        [self, cover](const QString& path) {
            if (self && !path.isEmpty()) self->loadFileInto(cover, path);
        },
        [] {});
}

void MovieFormViewController::loadImageFromDocument(const QString& path) {
    if (path.isEmpty()) return;
    loadFileInto(isFrontImage ? Front : Back, path);
}

void MovieFormViewController::loadFileInto(Cover cover, const QString& path) {
    covers_[cover]->loadFile(path);
}

void MovieFormViewController::openCamera(Cover cover) {
    if (isFromCamera) return;  // one capture at a time
    if (!services_.camera.isAvailable()) {
        tell("Camera", "There is no camera available");
        return;
    }
    isFrontImage = cover == Front;
    isBackImage = cover == Back;
    isFromCamera = true;
    QPointer<MovieFormViewController> self(this);
    // The picture goes to the cover that asked for it, whatever was pressed meanwhile.
    services_.camera.capture(
        this,
        [self, cover](const QImage& picture) {
            if (self) self->cameraTook(cover, picture);
        },
        [self] {
            if (self) self->isFromCamera = false;
        });
}

void MovieFormViewController::cameraTook(Cover cover, const QImage& picture) {
    (cover == Front ? chosenFrontImage : chosenBackImage) = picture;
    (cover == Front ? isFrontImage : isBackImage) = false;
    isFromCamera = false;
    takeIn(cover, picture);
}

void MovieFormViewController::takeIn(Cover cover, const QImage& picture) {
    covers_[cover]->takeNewPicture(picture);
}

void MovieFormViewController::refusePicture(const QString& reason) {
    // A Save waiting for this picture waits no more: the form stays, so the user reads why.
    tell(kImageNotLoadedTitle, reason);
    if (saveWhenLoaded_) {
        saveWhenLoaded_ = false;
        setBusy(false);
        emit saveFinished(false);
    }
}

bool MovieFormViewController::coversLoading() const {
    return covers_[Front]->isLoadingFile() || covers_[Back]->isLoadingFile();
}

void MovieFormViewController::saveOnceLoaded() {
    if (!saveWhenLoaded_ || coversLoading()) return;
    saveWhenLoaded_ = false;
    setBusy(false);
    SaveButtonClicked();
}

void MovieFormViewController::openNotes() {
    performSegue(kNotesSegue);
}

void MovieFormViewController::prepareForSegue(const QString& identifier,
                                              ViewController* destination) {
    if (identifier != kNotesSegue) return;
    services_.selection.SelectedNotes = entry(FormField::Notes)->text();
    if (auto* receiver = dynamic_cast<MovieDetailReceiver*>(destination))
        receiver->setDetailItem(openedMovie());
}

void MovieFormViewController::SaveButtonClicked() {
    if (busy_) return;
    const FormTexts texts = entryTexts();
    if (const FormCheck check = checkForSave(member_, texts); !check.ok) {
        tell(kMovieNotSavedTitle, check.message);
        return;
    }
    if (const QString reason = refusal(); !reason.isEmpty()) {
        tell(kMovieNotSavedTitle, reason);
        return;
    }
    // A picture file still on its way is saved with the rest (or told, when refused).
    if (coversLoading()) {
        saveWhenLoaded_ = true;
        setBusy(true);
        return;
    }
    std::array<NewCoverPicture, 2> pictures;
    for (int c : {Front, Back}) pictures[c] = covers_[c]->newPicture();
    if (pictures[Front].isNull() && pictures[Back].isNull()) {
        finishSave(texts, {});
        return;
    }
    // Each new picture is encoded on a core of its own while the window goes on painting.
    setBusy(true);
    auto encoded = std::make_shared<std::array<QByteArray, 2>>();
    auto waiting = std::make_shared<int>(0);
    for (int c : {Front, Back}) {
        if (pictures[c].isNull()) continue;
        ++*waiting;
        auto* watcher = new QFutureWatcher<QByteArray>(this);
        connect(watcher, &QFutureWatcher<QByteArray>::finished, this,
                [this, watcher, c, encoded, waiting, texts] {
                    (*encoded)[c] = watcher->result();
                    watcher->deleteLater();
                    if (--*waiting == 0) finishSave(texts, *encoded);
                });
        watcher->setFuture(QtConcurrent::run(
            &picturePool(), [picture = pictures[c]] { return picture.encodeForStore(); }));
    }
}

void MovieFormViewController::finishSave(const FormTexts& texts,
                                         const std::array<QByteArray, 2>& encoded) {
    setBusy(false);
    for (int c : {Front, Back}) {
        if (covers_[c]->hasNewPicture() && encoded[c].isEmpty()) {
            tell(kMovieNotSavedTitle, QStringLiteral("The %1 could not be stored as a picture")
                                          .arg(QString(kFormCovers[c].caption).toLower()));
            emit saveFinished(false);
            return;
        }
    }
    // The movie may have been deleted while the pictures were encoded.
    if (const QString reason = refusal(); !reason.isEmpty()) {
        tell(kMovieNotSavedTitle, reason);
        emit saveFinished(false);
        return;
    }
    const MoviePtr movie = movieToSave();
    const bool newMovie = movie->isInserted();
    applyToMovie(member_, texts, *movie);
    for (int c : {Front, Back})
        if (!encoded[c].isEmpty()) movie->setImage(kFormCovers[c].attribute, encoded[c]);
    if (const Status status = services_.context.save(); !status) {
        diagnosticLog(status.describe());
        // Otherwise the half-made change would ride along with the next save of anything.
        services_.context.refreshObject(movie);
        tell(kMovieNotSavedTitle, status.describe());
        emit saveFinished(false);
        return;
    }
    // A form that stays after adding a movie adds another at its next Save, pictures and all.
    if (!newMovie)
        for (CoverView* view : covers_) view->keepAsStored();
    markUnchanged();
    savedMovie_ = movie;
    emit saveFinished(true);
    if (const char* point = returnPointFor(member_, OpenedFrom)) unwind(point);
}

void MovieFormViewController::setBusy(bool busy) {
    busy_ = busy;
    saveButton_->setEnabled(!busy);
    content_->setEnabled(!busy);
    setBackEnabled(!busy);
    if (busy)
        indicator_->startAnimating();
    else
        indicator_->stopAnimating();
}

}  // namespace quillon
