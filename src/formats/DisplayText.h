#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace quillon::exchange {

// What the text views show of an export text: every line as written, except that the Base64 of
// each cover becomes a marker such as "[front cover, 212 KB]". Lines of other files are shown
// as they are. Never use this for what is written, attached or imported.
QString displayLine(QByteArrayView line);
QString displayText(const QByteArray& fileBytes);

// Lines for an alert: the first `shown` of them, then how many more there are.
QString shortList(const QStringList& lines, int shown = 8);

}  // namespace quillon::exchange
