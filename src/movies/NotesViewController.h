#pragma once

#include "handover/DetailItem.h"
#include "toolkit/ViewController.h"

class QPlainTextEdit;
class QToolButton;

namespace quillon {

class ManagedObjectContext;
struct Services;

// The notes of one movie in a multi-line editor. Opened from the edit form (CallingScreen
// "Edit") Save stores them, trimmed, in the form's movie at once and goes back; opened from the
// add form it hands the text back as typed. A refused or failed save is told in "Movie Not
// Saved" and the screen keeps the text. Save: the bar button or Ctrl+S.
class NotesViewController : public ViewController, public MovieDetailReceiver {
    Q_OBJECT
public:
    explicit NotesViewController(Services& services, QWidget* parent = nullptr);

    void viewDidLoad() override;
    // The movie whose notes an edit form opened.
    void setDetailItem(const MoviePtr& movie) override { detailItem_ = movie; }
    bool leavesByKey() const override;

    void SaveButtonClicked();
    // What Save hands on: the notes exactly as they came while the editor is untouched (it
    // holds a carriage return as a line break), else the edited text.
    QString notesText() const;
    QToolButton* saveButton() const { return saveButton_; }

    QPlainTextEdit* NotesTextView;
    ManagedObjectContext* managedObjectContext = nullptr;

private:
    void tell(const QString& message);

    Services& services_;
    MoviePtr detailItem_;
    QToolButton* saveButton_ = nullptr;
    QString opened_;  // the notes the screen opened with
    QString shown_;   // the editor's text when it opened
};

}  // namespace quillon
