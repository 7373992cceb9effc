#pragma once

#include "reference/ReferenceEntryRules.h"
#include "toolkit/ViewController.h"

class QLineEdit;
class QPushButton;

namespace quillon {

struct Services;

// A form with one text field and a save button for an entry of a reference list. After a save
// it goes back to its list; a refusal or a failed save is shown in an alert and the input stays.
// Enter in the field saves, as the save button does.
class ReferenceEntryViewController : public ViewController {
    Q_OBJECT
public:
    void viewDidLoad() override;

    // The save button.
    void save();

    QLineEdit* textField() const { return textField_; }
    QPushButton* saveButton() const { return saveButton_; }
    const ReferenceMember& member() const { return member_; }

protected:
    ReferenceEntryViewController(const ReferenceMember& member, Services& services,
                                 QWidget* parent);
    virtual EntrySaveResult attemptSave() = 0;

    const ReferenceMember& member_;
    Services& services_;
    ReferenceEntryRules rules_;
    QLineEdit* textField_;

private:
    QPushButton* saveButton_;
};

// Adds an entry; a click on the empty screen ends editing.
class AddReferenceEntryViewController : public ReferenceEntryViewController {
    Q_OBJECT
public:
    void viewDidLoad() override;
    void dismissKeyboard();

protected:
    AddReferenceEntryViewController(const ReferenceMember& member, Services& services,
                                    QWidget* parent)
        : ReferenceEntryViewController(member, services, parent) {}
    EntrySaveResult attemptSave() override;
    void mousePressEvent(QMouseEvent* event) override;
};

// Changes the entry that was tapped in the list, found again by its text.
class EditReferenceEntryViewController : public ReferenceEntryViewController {
    Q_OBJECT
public:
    void viewDidLoad() override;
    // The entry handed over by the list; its text fills the field, also after loading.
    void setDetailItem(const EntryPtr& entry);
    const EntryPtr& detailItem() const { return detailItem_; }

protected:
    EditReferenceEntryViewController(const ReferenceMember& member, Services& services,
                                     QWidget* parent)
        : ReferenceEntryViewController(member, services, parent) {}
    EntrySaveResult attemptSave() override;

private:
    void showDetailItem();

    EntryPtr detailItem_;
};

class AddGenreViewController : public AddReferenceEntryViewController {
    Q_OBJECT
public:
    explicit AddGenreViewController(Services& services, QWidget* parent = nullptr)
        : AddReferenceEntryViewController(kGenreMember, services, parent) {}
};

class AddRatingViewController : public AddReferenceEntryViewController {
    Q_OBJECT
public:
    explicit AddRatingViewController(Services& services, QWidget* parent = nullptr)
        : AddReferenceEntryViewController(kRatingMember, services, parent) {}
};

class EditGenreViewController : public EditReferenceEntryViewController {
    Q_OBJECT
public:
    explicit EditGenreViewController(Services& services, QWidget* parent = nullptr)
        : EditReferenceEntryViewController(kGenreMember, services, parent) {}
};

class EditRatingViewController : public EditReferenceEntryViewController {
    Q_OBJECT
public:
    explicit EditRatingViewController(Services& services, QWidget* parent = nullptr)
        : EditReferenceEntryViewController(kRatingMember, services, parent) {}
};

}  // namespace quillon
