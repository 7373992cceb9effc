#pragma once

#include <QString>

namespace quillon {

// Outcome of a fallible call. Screens turn a failure into an alert; nothing else throws.
struct [[nodiscard]] Status {
    bool ok = true;
    QString error;    // one-line description
    QString details;  // extra detail (SQLite code, path); may be empty

    static Status success() { return {}; }
    static Status failure(QString error, QString details = {}) {
        return {false, std::move(error), std::move(details)};
    }
    // "description, details" - the form shown after "Unresolved error ".
    QString describe() const { return details.isEmpty() ? error : error + ", " + details; }
    explicit operator bool() const { return ok; }
};

}  // namespace quillon
