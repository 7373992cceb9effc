#include "exchange/SpreadsheetColumns.h"

#include <QCryptographicHash>

#include "platform/UserDefaults.h"

namespace quillon {
namespace {

using exchange::ColumnTarget;

QString settingsKey(const QStringList& header) {
    QStringList keys;
    for (const QString& title : header) keys << exchange::columnKey(title);
    const QByteArray hash =
        QCryptographicHash::hash(keys.join(u'\n').toUtf8(), QCryptographicHash::Sha1).toHex();
    return "SpreadsheetColumns/" + QString::fromLatin1(hash);
}

}  // namespace

QHash<QString, ColumnTarget> rememberedColumns(const QStringList& header) {
    QHash<QString, ColumnTarget> chosen;
    const QStringList saved = standardUserDefaults()->value(settingsKey(header)).toStringList();
    for (const QString& entry : saved) {
        const qsizetype split = entry.lastIndexOf(u'=');
        if (const auto target = exchange::targetNamed(entry.mid(split + 1)); target && split > 0)
            chosen.insert(entry.left(split), *target);
    }
    return chosen;
}

void rememberColumns(const QStringList& header, const QHash<QString, ColumnTarget>& chosen) {
    QStringList saved;
    for (auto it = chosen.begin(); it != chosen.end(); ++it)
        saved << it.key() + '=' + QString::fromLatin1(exchange::targetInfo(it.value()).key);
    saved.sort();
    standardUserDefaults()->setValue(settingsKey(header), saved);
}

std::unique_ptr<exchange::FileImport> beginImport(ManagedObjectContext& context, QIODevice* device,
                                                  exchange::ImportOptions options) {
    const qint64 start = device->pos();
    auto import = exchange::makeImport(context, device, options);
    (void)import->begin();  // told by status()
    const exchange::ImportPreview preview = import->preview();
    if (preview.format != exchange::FileFormat::Csv || device->isSequential()) return import;
    QStringList header;
    for (const auto& column : preview.columns) header << column.title;
    QHash<QString, ColumnTarget> columns = rememberedColumns(header);
    if (columns.isEmpty()) return import;
    columns.insert(options.columnMap);  // what was given wins
    options.columnMap = columns;
    options.format = exchange::FileFormat::Csv;
    device->seek(start);
    import = exchange::makeImport(context, device, options);
    (void)import->begin();
    return import;
}

}  // namespace quillon
