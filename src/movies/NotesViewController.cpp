#include "movies/NotesViewController.h"

#include <QPlainTextEdit>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "movies/MovieForm.h"
#include "movies/MovieSegues.h"
#include "platform/DiagnosticLog.h"
#include "store/CatalogueStore.h"
#include "store/TextTrim.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"

namespace quillon {

namespace {

// The editor's text: its paragraphs and lines ended by line feeds, every other character as it
// stands (toPlainText would also turn no-break spaces into spaces).
QString editorText(const QPlainTextEdit* editor) {
    QString text = editor->document()->toRawText();
    for (const QChar lineEnd : {QChar(QChar::ParagraphSeparator), QChar(QChar::LineSeparator)})
        text.replace(lineEnd, QLatin1Char('\n'));
    return text;
}

}  // namespace

NotesViewController::NotesViewController(Services& services, QWidget* parent)
    : ViewController(parent), NotesTextView(new QPlainTextEdit), services_(services) {
    setTitle("Notes");
    NotesTextView->setObjectName("NotesTextView");
    NotesTextView->setAccessibleName("Notes");
    // A keyboard user leaves the notes by Tab like any other entry.
    NotesTextView->setTabChangesFocus(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(NotesTextView);
    saveButton_ = addSaveButton([this] { SaveButtonClicked(); });
    setFocusOnAppear(NotesTextView);
}

void NotesViewController::viewDidLoad() {
    opened_ = services_.selection.SelectedNotes;
    NotesTextView->setPlainText(opened_);
    shown_ = editorText(NotesTextView);
    if (appearance::isDarkAppearance())
        NotesTextView->setStyleSheet(
            "QPlainTextEdit { border: 1px solid white; border-radius: 5px; }");
    else
        appearance::applyTextEntryLook(NotesTextView);
}

bool NotesViewController::leavesByKey() const {
    return editorText(NotesTextView) == shown_;
}

QString NotesViewController::notesText() const {
    const QString text = editorText(NotesTextView);
    return text == shown_ ? opened_ : text;
}

void NotesViewController::tell(const QString& message) {
    present(AlertController::ok(kMovieNotSavedTitle, message));
}

void NotesViewController::SaveButtonClicked() {
    SelectionState& selection = services_.selection;
    const QString typed = notesText();
    const QString trimmed = trimmedEntryText(typed);
    const bool fromEdit = selection.CallingScreen == "Edit";
    if (fromEdit) {
        managedObjectContext = &services_.context;
        if (!detailItem_ || detailItem_->isDeleted()) {
            tell("This movie is no longer in the catalogue; the notes were not stored.");
            return;
        }
        detailItem_->setText(Attribute::notes, trimmed);
        if (const Status status = managedObjectContext->save(); !status) {
            diagnosticLog(status.describe());
            managedObjectContext->refreshObject(detailItem_);
            tell(status.describe());
            return;
        }
    }
    selection.SelectedNotes = trimmed;
    if (fromEdit) {
        unwind(kUnwindToEdit);
    } else if (selection.CallingScreen == "Add") {
        selection.SelectedNotes = typed;
        unwind(kUnwindToAdd);
    }
}

}  // namespace quillon
