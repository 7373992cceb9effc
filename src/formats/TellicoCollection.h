#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "formats/ColumnMapping.h"
#include "store/Status.h"

namespace quillon::exchange {

// What we know of Tellico's collection format (the XML in tellico.xml, or a file of its own).
inline constexpr int kTellicoVideoCollection = 3;
inline constexpr int kTellicoNewestSyntax = 12;  // the newest we read
inline constexpr int kTellicoWrittenSyntax = 11;
inline constexpr int kTellicoImageField = 10;
inline constexpr int kTellicoTableField = 8;
inline constexpr int kTellicoMultipleValues = 0x01;
inline constexpr char kTellicoNamespace[] = "http://periapsis.org/tellico/";
inline constexpr qint64 kTellicoMaxXmlBytes = qint64(1) << 30;
inline constexpr qint64 kTellicoMaxPictureBytes = qint64(64) << 20;

struct TellicoField {
    QString name;
    QString title;
    int type = 1;
    int flags = 0;
    bool isImage() const { return type == kTellicoImageField; }
    bool isTable() const { return type == kTellicoTableField; }
    bool hasMultipleValues() const { return flags & kTellicoMultipleValues; }
};

// A video collection's fields when it names them by "_default", as Tellico does.
const QList<TellicoField>& tellicoDefaultVideoFields();
// "a book collection (type 2)": how a refusal names a collection's kind.
QString tellicoCollectionKind(int type);

struct TellicoEntry {
    struct Value {
        QString field;
        FieldRows rows;  // one row per value, one column per part
        // Given as one element of the field's own name, not in a container: a field of several
        // values then holds them in one text, separated by semicolons.
        bool bare = false;
    };
    int line = 0;         // of tellico.xml, where the entry begins
    QList<Value> values;  // in the entry's order
};

struct TellicoImage {
    QByteArray base64;    // inline data; empty when the picture is elsewhere
    bool linked = false;  // link="true": a path or address, never fetched
};

struct TellicoCollection {
    int syntaxVersion = 0;
    int type = 0;
    QList<TellicoField> fields;  // declared, the defaults in place of "_default"
    std::vector<TellicoEntry> entries;
    QHash<QString, TellicoImage> images;  // by id
    bool complete = true;                 // false when the reading stopped after its first entries

    const TellicoField* field(const QString& name) const;
};

// Reads a collection's XML. No DTD or external entity is ever fetched; a document that declares
// or uses an entity is refused before any of it is expanded. Fails (Corrupt) with the line of
// `fileName` for a document that is not well formed or not a Tellico collection, and (Refused)
// for a syntax newer than we read or a collection other than videos, naming its kind; `foreign` is
// set when the document is no collection of movies. With `maxEntries`, the reading stops before
// the entry after them: the collection is then not complete, and what follows is unchecked.
std::optional<TellicoCollection> readTellicoXml(const QByteArray& xml, const QString& fileName,
                                                Status* status, bool* foreign = nullptr,
                                                size_t maxEntries = SIZE_MAX);

}  // namespace quillon::exchange
