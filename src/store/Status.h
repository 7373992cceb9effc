#pragma once

#include <QString>

namespace quillon {

// Outcome of a fallible call. Screens turn a failure into an alert; nothing else throws.
// A failure carries a code, which callers test to tell its kind, and texts, which are for people:
// callers never compare them. ok is true exactly when the code is Ok.
struct [[nodiscard]] Status {
    enum class Code {
        Ok,
        NotFound,  // what was asked for is not there: the data folder, a backup, a cover
        Busy,      // another process holds the store: its lock, or SQLite's
        ReadOnly,  // the catalogue, its folder or a file must not or cannot be written
        Corrupt,   // a file is damaged, or is not of the kind expected
        TooBig,    // a value or a line beyond what can be stored or read
        Io,        // the device or the system failed: reading, writing, space, memory
        Refused,   // not done by rule: a link or a device for a file, a newer version, a
                   // constraint of the store, a write to one of its own files
    };
    using enum Code;

    bool ok = true;
    Code code = Ok;
    QString error;    // one-line description
    QString details;  // extra detail (SQLite code, path); may be empty

    static Status success() { return {}; }
    static Status failure(Code code, QString error, QString details = {}) {
        Q_ASSERT(code != Ok);
        return {false, code, std::move(error), std::move(details)};
    }
    // "description, details" - the form shown after "Unresolved error ".
    QString describe() const { return details.isEmpty() ? error : error + ", " + details; }
    explicit operator bool() const { return ok; }
};

}  // namespace quillon
