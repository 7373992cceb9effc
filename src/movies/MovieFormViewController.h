#pragma once

#include <QImage>
#include <QStringList>
#include <array>

#include "movies/MovieForm.h"
#include "toolkit/ViewController.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quillon {

class ActivityIndicator;
class CoverView;
class NewCoverPicture;
struct Services;

// The one logic of the add and edit forms; a MovieFormMember holds what differs. Entries with red
// labels for the required fields, the genre and rating wheels, the numeric entry checks, two
// covers with their buttons, and Save (the bar button, Ctrl+S, or Enter in an entry).
//
// Save checks the entries at once. When a cover took in a new picture, the pictures are encoded
// off the main thread, one task per cover; meanwhile Save, back and Escape are off. Then the
// values go into the movie, the catalogue is saved and the form returns to its opener;
// saveFinished tells the outcome. A refusal or a failed save is told in "Movie Not Saved", the
// failed change is taken back from the pending changes, and the form keeps what was typed.
// Escape and Alt+Left leave only while nothing has changed.
class MovieFormViewController : public ViewController {
    Q_OBJECT
public:
    enum Cover { Front = 0, Back = 1 };
    // The widest the entries and covers grow in a wide window.
    static constexpr int kReadableFormWidth = 760;

    void viewDidLoad() override;
    void prepareForSegue(const QString& identifier, ViewController* destination) override;
    bool leavesByKey() const override;

    void SaveButtonClicked();
    void pasteFromClipboard(Cover cover);
    // Opens the picker for a picture file for the cover.
    void attachImage(Cover cover);
    // Loads a picked file into the cover that the last attachImage named.
    void loadImageFromDocument(const QString& path);
    // Loads a picture file into the cover off the main thread; returns at once. A file that is
    // refused (not a regular file, unreadable, cut short, too large to be stored) is told in an
    // alert and the cover keeps its picture.
    void loadFileInto(Cover cover, const QString& path);
    // One capture at a time: while one is under way, nothing. The picture goes to `cover`.
    void openCamera(Cover cover);
    void openNotes();
    // A tap on the form ends text entry.
    void dismissKeyboard();

    bool isBusy() const { return busy_; }
    bool hasUnsavedChanges() const;
    const MovieFormMember& member() const { return member_; }
    QLineEdit* entry(FormField field) const { return entries_[size_t(field)]; }
    QLabel* label(FormField field) const { return labels_[size_t(field)]; }
    CoverView* coverView(Cover cover) const { return covers_[cover]; }
    QToolButton* saveButton() const { return saveButton_; }
    QPushButton* notesButton() const { return notesButton_; }

    QStringList ListOfGenre;
    QStringList ListOfRating;
    bool isFrontImage = false;
    bool isBackImage = false;
    bool isFromCamera = false;
    QImage chosenFrontImage;  // the last camera pictures; null before
    QImage chosenBackImage;
    QString OpenedFrom;

    // The movie the form shows (handed to the notes screen); none for a movie not yet stored.
    virtual MoviePtr openedMovie() const { return nullptr; }
    // The movie the last Save wrote (a new one after an add).
    MoviePtr savedMovie() const { return savedMovie_; }

signals:
    void saveFinished(bool saved);

protected:
    MovieFormViewController(const MovieFormMember& member, Services& services, QWidget* parent);

    // Why the form cannot be saved now (the movie is gone); empty when it can.
    virtual QString refusal() const { return {}; }
    // The movie Save writes to: a new one, or the one the form shows.
    virtual MoviePtr movieToSave() = 0;
    // The notes screen came back.
    virtual void notesReturned() = 0;
    virtual void removeStoredImage(Cover cover) { Q_UNUSED(cover); }

    FormTexts entryTexts() const;
    // Fills the entries; the notes entry only when `notes` says so.
    void setEntryTexts(const FormTexts& texts, bool notes);
    // What the entries hold now counts as unchanged (all of them, or one).
    void markUnchanged();
    void markUnchanged(FormField field);
    void tell(const QString& title, const QString& message);
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Services& services_;
    const MovieFormMember& member_;

private:
    QGridLayout* buildEntries();
    QWidget* buildCover(Cover cover);
    void styleRequiredLabels();
    void loadWheel(QStringList& list, Entity entity, Attribute attribute, FormField field);
    void takeIn(Cover cover, const QImage& picture);
    void cameraTook(Cover cover, const QImage& picture);
    void refusePicture(const QString& reason);
    bool coversLoading() const;
    void saveOnceLoaded();
    void finishSave(const FormTexts& texts, const std::array<QByteArray, 2>& encoded);
    void setBusy(bool busy);

    std::array<QLineEdit*, kFormFieldCount> entries_{};
    std::array<QLabel*, kFormFieldCount> labels_{};
    std::array<CoverView*, 2> covers_{};
    QWidget* content_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QPushButton* notesButton_ = nullptr;
    ActivityIndicator* indicator_ = nullptr;
    FormTexts unchanged_;
    bool coversChanged_ = false;
    bool busy_ = false;
    bool saveWhenLoaded_ = false;
    MoviePtr savedMovie_;
};

}  // namespace quillon
