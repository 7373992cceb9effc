#pragma once

#include "toolkit/DetailItem.h"
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
    QToolButton* saveButton() const { return saveButton_; }

    QPlainTextEdit* NotesTextView;
    ManagedObjectContext* managedObjectContext = nullptr;

private:
    void tell(const QString& message);

    Services& services_;
    MoviePtr detailItem_;
    QToolButton* saveButton_ = nullptr;
    QString opened_;  // the text shown when the screen opened
};

}  // namespace quillon
