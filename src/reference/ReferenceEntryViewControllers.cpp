#include "reference/ReferenceEntryViewControllers.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"
#include "toolkit/TextEntry.h"

namespace quillon {

ReferenceEntryViewController::ReferenceEntryViewController(const ReferenceMember& member,
                                                           Services& services, QWidget* parent)
    : ViewController(parent),
      member_(member),
      services_(services),
      rules_(member, services.context),
      textField_(new TextEntry),
      saveButton_(new QPushButton("Save")) {
    textField_->setObjectName(member_.textFieldName);
    textField_->setAccessibleName(member_.entryName);
    saveButton_->setObjectName("SaveButton");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    layout->addWidget(textField_);
    layout->addWidget(saveButton_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    connect(saveButton_, &QPushButton::clicked, this, [this] { save(); });
    connect(textField_, &QLineEdit::returnPressed, this, [this] { save(); });
}

void ReferenceEntryViewController::viewDidLoad() {
    appearance::applyTextEntryLook(textField_);
    appearance::applyButtonLook(saveButton_);
    textField_->setFocus();
}

void ReferenceEntryViewController::save() {
    const EntrySaveResult result = attemptSave();
    if (result.returnsToList()) {
        unwind(member_.returnPoint);
        return;
    }
    present(AlertController::ok(ReferenceEntryRules::kNotSavedTitle, result.message));
}

void AddReferenceEntryViewController::viewDidLoad() {
    setTitle(member_.addTitle);
    rules_.loadExistingTexts();
    ReferenceEntryViewController::viewDidLoad();
}

void AddReferenceEntryViewController::dismissKeyboard() {
    if (QWidget* focused = focusWidget()) focused->clearFocus();
}

void AddReferenceEntryViewController::mousePressEvent(QMouseEvent* event) {
    dismissKeyboard();
    ReferenceEntryViewController::mousePressEvent(event);
}

EntrySaveResult AddReferenceEntryViewController::attemptSave() {
    return rules_.add(textField_->text());
}

void EditReferenceEntryViewController::viewDidLoad() {
    setTitle(member_.editTitle);
    showDetailItem();
    ReferenceEntryViewController::viewDidLoad();
}

void EditReferenceEntryViewController::setDetailItem(const EntryPtr& entry) {
    detailItem_ = entry;
    if (isViewLoaded()) showDetailItem();
}

void EditReferenceEntryViewController::showDetailItem() {
    if (!detailItem_) return;
    if (const QString* text = detailItem_->textIfPresent(member_.attribute))
        textField_->setText(*text);
}

EntrySaveResult EditReferenceEntryViewController::attemptSave() {
    return rules_.edit(services_.selection.*member_.selectedEntry, textField_->text());
}

}  // namespace quillon
