#pragma once

#include <QProcess>
#include <QStringList>

namespace quillon::test {

struct Ran {
    int status;  // -1 when the program did not end normally in time
    QString out, errors;
};

inline Ran run(QStringList command, int waitMs = 60000,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(command.takeFirst(), command);
    const bool ended = process.waitForFinished(waitMs);
    return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The program built beside the tests, on the catalogue in `dataDir`.
inline Ran runQuillon(const QString& dataDir, const QStringList& arguments, int waitMs = 60000) {
    return run(QStringList{QUILLON_BINARY, "--data-dir", dataDir} + arguments, waitMs);
}

}  // namespace quillon::test
