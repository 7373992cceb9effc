#pragma once

#include <QString>

namespace quillon {

// Where file dialogs open: the user's Documents folder (home when it is missing) until a file has
// been picked or saved through one of them, then that file's folder, for the rest of the process.
QString fileDialogFolder();

// Records the folder of `filePath`, a file just picked or saved, for the next dialog.
void rememberFileDialogFolder(const QString& filePath);

}  // namespace quillon
