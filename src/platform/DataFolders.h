#pragma once

#include <QFile>
#include <QString>
#include <memory>

namespace quillon {

// Where the store and the user-defaults file live: --data-dir, else $QUILLON_DATA_DIR, else the
// platform's application data folder. Set once at start-up (tests set a temporary folder).
// Without HOME (and XDG_DATA_HOME) there is no data folder: dataDir(), documentsDir() and
// userDefaultsFile() are then empty, and the cache folder is not used for temporary files.
class DataFolders {
public:
    static void setDataDir(const QString& dir);
    static QString dataDir();
    static QString documentsDir();  // "Documents" inside the data folder, created on demand
    static QString userDefaultsFile();

    // The folder for every temporary file the program writes, which only this user can enter:
    // "Quillon" in $XDG_RUNTIME_DIR, else "tmp" in the cache folder; each is taken only when it
    // is a real folder (never a symlink) owned by us, and is left with mode 0700. Failing both,
    // a fresh unique 0700 folder under QDir::tempPath(), kept for the rest of the process.
    // Empty in the unlikely case that none can be had; the two functions below then fail.
    static QString tempDir();

    // Creates the file `fileName` (a bare name, no folder part) afresh in `folder` and opens it
    // for writing, mode 0600. `folder` must be a private folder of ours (tempDir() or a folder
    // made inside it), else nothing is created. Whatever stood at that name (an older file, a
    // symlink someone planted) is unlinked, never followed; the new file is made with
    // O_CREAT | O_EXCL | O_NOFOLLOW, so a name taken again in between fails rather than being
    // written through. The file's path is QDir(folder).filePath(fileName) (QFile::fileName() is
    // empty, the file being opened by descriptor). Null on failure, with the reason in `error`.
    static std::unique_ptr<QFile> createPrivateFile(const QString& folder, const QString& fileName,
                                                    QString* error = nullptr);

    // Writes `bytes` as `fileName` in `folder` whole or not at all: into a fresh 0600 file beside
    // it, then renamed over the name (a symlink standing there is replaced, not followed). Same
    // conditions on `folder` and `fileName` as createPrivateFile(). Returns the file's full path,
    // or an empty text with the reason in `error`.
    static QString writePrivateFile(const QString& folder, const QString& fileName,
                                    const QByteArray& bytes, QString* error = nullptr);
};

// Writes all of `bytes` to the open descriptor, going on after interrupted writes.
bool writeWhole(int fd, const QByteArray& bytes);

}  // namespace quillon
