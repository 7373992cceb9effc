#include "reference/ReferenceEntryRules.h"

#include "platform/DiagnosticLog.h"
#include "store/TextTrim.h"

namespace quillon {

void ReferenceEntryRules::loadExistingTexts() {
    existingTexts_.clear();
    for (const EntryPtr& entry : context_.fetch(FetchRequest::all(member_.entity))) {
        if (const QString* text = entry->textIfPresent(member_.attribute)) existingTexts_ << *text;
    }
}

EntrySaveResult ReferenceEntryRules::add(const QString& typed) {
    const QString text = trimmedEntryText(typed);
    if (text.isEmpty()) return {EntrySaveResult::Outcome::Refused, member_.emptyInputMessage};
    if (existingTexts_.contains(text))
        return {EntrySaveResult::Outcome::Refused, kDuplicateMessage};
    const EntryPtr entry = member_.insertInto(context_);
    entry->setText(member_.attribute, text);
    return saveOrTakeBack(entry);
}

EntrySaveResult ReferenceEntryRules::edit(const QString& selectedText, const QString& fieldText) {
    const auto found = context_.fetch(
        FetchRequest{member_.entity, Predicate::equals(member_.attribute, selectedText), {}});
    if (found.empty()) return {EntrySaveResult::Outcome::NothingFound, {}};
    const EntryPtr entry = found.front();
    entry->setText(member_.attribute, trimmedEntryText(fieldText));
    return saveOrTakeBack(entry);
}

EntrySaveResult ReferenceEntryRules::saveOrTakeBack(const EntryPtr& entry) {
    const Status status = context_.save();
    if (status) return {};
    diagnosticLog(status.describe());
    // A failed save keeps its changes pending; without taking them back a second press would
    // add the entry twice.
    context_.refreshObject(entry);
    return {EntrySaveResult::Outcome::Failed, status.describe()};
}

}  // namespace quillon
