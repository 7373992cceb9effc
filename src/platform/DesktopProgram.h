#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <utility>

class QObject;

namespace quillon {

// What came of handing an address or a message to a program of the desktop.
struct ProgramResult {
    bool ok = false;
    QString reason;  // why it failed, for the diagnostic log; empty on success

    static ProgramResult success() { return {true, {}}; }
    static ProgramResult failure(QString why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

// Runs once, on the main thread, with the outcome.
using ProgramDone = std::function<void(const ProgramResult&)>;

// xdg-open and xdg-email end at once when no program takes what they are given; one still
// running after this long has become the browser or the mail program.
inline constexpr std::chrono::milliseconds kProgramPatience{5000};

// Starts `program` (an executable's path) and returns without waiting for it. `done` then gets
// success when it exits with status 0 or is still running after `patience`, else the reason it
// failed; when it cannot be started that may be before this returns. `done` never runs once
// `context` (when one is given) is gone. A program still running is never stopped.
void runDesktopProgram(const QString& program, const QStringList& arguments, QObject* context,
                       ProgramDone done, std::chrono::milliseconds patience = kProgramPatience);

}  // namespace quillon
