#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

// Helpers shared by the tests of the app folder.
namespace quillon::apptest {

inline void execSql(const QString& dataDir, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dataDir + "/Quillon.sqlite").toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// Presses OK on the next blocking message box, keeping its title and text.
class BlockingBoxAnswerer {
public:
    BlockingBoxAnswerer() {
        QTimer::singleShot(0, &context_, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->windowTitle() + ": " + box->text();
                box->done(QMessageBox::Ok);
            }
        });
    }
    QStringList boxes;

private:
    QObject context_;
};

struct Run {
    int status = -1;  // -1 when the program did not end normally
    QString out;
    QString errors;
};

inline Run runQuillon(const QStringList& arguments) {
    QProcess process;
    process.start(QUILLON_BINARY, arguments);
    process.waitForFinished(60000);
    Run run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Reads the program's merged output until it contains `text` (or it ends).
inline QByteArray readUntil(QProcess& process, const QByteArray& text) {
    QByteArray seen;
    while (!seen.contains(text) && process.waitForReadyRead(10000)) seen += process.readAll();
    return seen + process.readAll();
}

}  // namespace quillon::apptest
