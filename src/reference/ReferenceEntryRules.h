#pragma once

#include <QStringList>
#include <functional>

#include "catalogue/ReferenceMember.h"

namespace quillon {

// What one press of an entry screen's save button came to.
struct EntrySaveResult {
    enum class Outcome {
        Saved,
        Refused,       // bad input; nothing changed
        Failed,        // the store refused the save; the change was taken back
        NothingFound,  // the entry to edit is gone; nothing changed
    };
    Outcome outcome = Outcome::Saved;
    QString message;  // the alert message of Refused and Failed

    // The screen goes back to its list unless the user has to see a message first.
    bool returnsToList() const {
        return outcome == Outcome::Saved || outcome == Outcome::NothingFound;
    }
};

// The save rules of the add and edit screens of one reference list. Every stored text is
// trimmed of leading and trailing horizontal spacing.
class ReferenceEntryRules {
public:
    static constexpr const char* kNotSavedTitle = "Record not Saved!";
    static constexpr const char* kDuplicateMessage = "Duplicates not allowed";

    ReferenceEntryRules(const ReferenceMember& member, ManagedObjectContext& context)
        : member_(member), context_(context) {}

    // The texts an added entry must differ from, in the store's order; read once per opening
    // of the add screen.
    void loadExistingTexts();
    const QStringList& existingTexts() const { return existingTexts_; }

    // Adds the typed text, trimmed, unless it is blank or already listed (letter case counts).
    EntrySaveResult add(const QString& typed);
    // Changes the first entry whose text equals `selectedText` to the field's text, trimmed;
    // a blank field stores the empty text. No duplicate test.
    EntrySaveResult edit(const QString& selectedText, const QString& fieldText);

private:
    EntrySaveResult saveOrTakeBack(const EntryPtr& entry);

    const ReferenceMember& member_;
    ManagedObjectContext& context_;
    QStringList existingTexts_;
};

}  // namespace quillon
