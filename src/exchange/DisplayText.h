#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quillon::exchange {

// What the text views show of an export text: every line as written, except that the Base64 of
// each cover becomes a marker such as "[front cover, 212 KB]". Lines of other files are shown
// as they are. Never use this for what is written, attached or imported.
QString displayLine(QByteArrayView line);
QString displayText(const QByteArray& fileBytes);

}  // namespace quillon::exchange
