#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "store/Status.h"

namespace quillon {

class ManagedObjectContext;
struct ContextState;

enum class Entity { Movies, GenreList, RatingList };
constexpr int kEntityCount = int(Entity::RatingList) + 1;

// Every attribute of every record type. Texts first (their order is the store's column order),
// then the two 16-bit numbers, then the two cover byte strings.
enum class Attribute : int {
    color_blackwhite,
    director,
    genre,
    leadingActor1,
    leadingActor2,
    leadingActress1,
    leadingActress2,
    name,
    notes,
    producer,
    rating,
    writer,
    imdb,
    year,
    runTime,
    frontImage,
    backImage,
};
constexpr int kTextAttributeCount = 13;
constexpr bool isTextAttribute(Attribute a) {
    return int(a) < kTextAttributeCount;
}
constexpr bool isNumberAttribute(Attribute a) {
    return a == Attribute::year || a == Attribute::runTime;
}
constexpr bool isImageAttribute(Attribute a) {
    return a == Attribute::frontImage || a == Attribute::backImage;
}
QString attributeName(Attribute a);
std::optional<Attribute> attributeNamed(const QString& name);
QString entityName(Entity e);

using OptionalText = std::optional<QString>;
using OptionalBytes = std::optional<QByteArray>;

// Where a saved cover lies, so that a worker thread can read it without the main context.
struct SavedCover {
    QString storePath;
    qint64 rowId = 0;
    Attribute attribute = Attribute::frontImage;
};
// A cover read from the device: absent and unreadable are different answers.
struct CoverRead {
    OptionalBytes bytes;  // nullopt when the record has no such cover, or on failure
    Status status;        // failed when the store could not be read
    bool failed() const { return !status.ok; }
};

// The small copy kept beside a stored cover, for lists and reports: a JPEG that fits about
// kSmallCoverBox, upright, and the size of the whole picture upright.
struct SmallCover {
    QByteArray bytes;
    QSize coverSize;
};
inline constexpr QSize kSmallCoverBox{400, 400};
// Makes the small copy of stored cover bytes; nullopt when they are no picture.
using SmallCoverMaker = std::function<std::optional<SmallCover>(const QByteArray& cover)>;

namespace sqlite {
class Database;
}

// Reads saved covers through one connection of its own, opened on first use and kept: opening a
// connection costs about as much as reading a cover, and reports read covers by the thousand.
// A reader is used by one thread at a time; it is closed with the reader.
class SavedCoverReader {
public:
    SavedCoverReader();
    ~SavedCoverReader();
    SavedCoverReader(const SavedCoverReader&) = delete;
    SavedCoverReader& operator=(const SavedCoverReader&) = delete;
    CoverRead read(const SavedCover& cover);
    // The cover's small copy; nullopt when it has none yet, or it cannot be read (the cover
    // itself then stands in).
    std::optional<SmallCover> readSmall(const SavedCover& cover);

private:
    Status connect(const QString& storePath);
    QString path_;
    std::unique_ptr<sqlite::Database> db_;
};

// Reads a saved cover through a connection of its own. Safe on any thread.
CoverRead readSavedCover(const SavedCover& cover);

// A live record of the main context. Fetching the same row twice, from any screen, gives the
// same object. Setters mark the record changed; nothing reaches the device before the context
// saves. A handle stays valid for as long as somebody holds it: after a delete it reports
// isDeleted() and keeps its last values. A deleted record is dead: its setters change nothing
// and return false, so a late write can never bring it back. Main thread only.
class ManagedObject {
public:
    ManagedObject(const ManagedObject&) = delete;
    ManagedObject& operator=(const ManagedObject&) = delete;
    virtual ~ManagedObject();

    Entity entity() const { return entity_; }
    // Absent (nullopt) and empty ("") are different values and both survive a save.
    OptionalText text(Attribute a) const;
    // The text in lower case for searching, kept until the text changes; nullptr when absent.
    // The pointer is valid until the next call or change on this record.
    const QString* loweredTextIfPresent(Attribute a) const;
    // The text without a copy, for hot loops; nullptr when absent. Valid until it changes.
    const QString* textIfPresent(Attribute a) const {
        const int i = int(a);
        if (!isTextAttribute(a) || !(textPresent_ & (1u << i))) return nullptr;
        if (a == Attribute::notes && notesUnread_) readNotes();
        return &texts_[i];
    }
    // False (and nothing changed) when the record is deleted or the attribute is not a text.
    bool setText(Attribute a, OptionalText value);
    // 0 when never set or cleared.
    qint16 number(Attribute a) const;
    bool setNumber(Attribute a, qint16 value);
    // Cover bytes are read from the device on demand, never at open. nullopt when absent or
    // unreadable; readImage() tells the two apart.
    OptionalBytes image(Attribute a) const { return readImage(a).bytes; }
    CoverRead readImage(Attribute a) const;
    bool hasImage(Attribute a) const;
    qint64 imageSize(Attribute a) const;  // bytes, 0 when absent
    // With its small copy when the caller made it; otherwise the save makes it (see
    // StoreOptions::makeSmallCopy), or it is made later.
    bool setImage(Attribute a, OptionalBytes bytes, std::optional<SmallCover> small = {});
    // The saved cover's place; nullopt when it is absent, new or changed (image() then has the
    // bytes at hand without reading the device).
    std::optional<SavedCover> savedCover(Attribute a) const;
    // Bumped whenever a cover of this record changes; caches of decoded covers key on it.
    quint32 imageGeneration() const { return imageGeneration_; }

    bool isInserted() const { return rowId_ == 0 && !deleted_; }  // new, never saved
    bool isDeleted() const { return deleted_; }
    bool hasChanges() const { return changedMask_ != 0 || isInserted(); }
    qint64 rowId() const { return rowId_; }  // 0 until the first save that writes it
    // Unique within the context for the life of the process, unlike an address.
    quint64 objectId() const { return sequence_; }

protected:
    ManagedObject(Entity entity, std::shared_ptr<ContextState> state);

private:
    friend class ManagedObjectContext;
    friend struct ContextState;
    friend struct DeletedRecord;
    // A cover set and not saved yet, with its small copy when given. Never changed once made:
    // the saved values may share it.
    struct LoadedCover {
        QByteArray bytes;
        std::optional<SmallCover> small;
    };
    struct ImageSlot {
        bool present = false;  // the record has this cover (maybe not read yet)
        qint64 size = 0;
        // The changed cover not yet saved; null while the saved one is current. Out of line,
        // since few records ever hold one.
        std::shared_ptr<const LoadedCover> loaded;
    };
    struct SavedValues;
    void keepSavedValues();  // before the first change of a saved record
    void restoreSavedValues();
    void markChanged(Attribute a);
    // Saved notes are read from the device when first asked for, not at open.
    void readNotes() const;
    ImageSlot& slot(Attribute a) { return a == Attribute::frontImage ? front_ : back_; }
    const ImageSlot& slot(Attribute a) const { return a == Attribute::frontImage ? front_ : back_; }

    Entity entity_;
    std::weak_ptr<ContextState> state_;
    qint64 rowId_ = 0;
    qint64 wantedRowId_ = 0;  // a restored record's old row, so it keeps its place on reopen
    bool deleted_ = false;
    bool deletePending_ = false;
    quint32 changedMask_ = 0;  // bit per Attribute
    quint32 imageGeneration_ = 0;
    quint64 sequence_ = 0;     // insertion order: the store's own order
    quint16 textPresent_ = 0;  // bit per text attribute; absent texts are null
    mutable std::array<QString, kTextAttributeCount> texts_;  // saved notes once read
    mutable bool notesUnread_ = false;  // the saved notes are present but not read yet
    // Lower-cased texts of the attributes searched so far; few per record, made on demand.
    mutable std::vector<std::pair<Attribute, QString>> lowered_;
    std::shared_ptr<const SavedValues> savedValues_;  // the values of the last save, while changed
    qint16 year_ = 0;
    qint16 runTime_ = 0;
    ImageSlot front_;
    ImageSlot back_;
};

// The record class T of entity E. Records are made only by insertInto, and by the context as
// the store opens.
template <class T, Entity E>
class EntityRecord : public ManagedObject {
public:
    static constexpr Entity kEntity = E;
    // A new record, pending in the context until it saves.
    static std::shared_ptr<T> insertInto(ManagedObjectContext& context);

protected:
    explicit EntityRecord(std::shared_ptr<ContextState> state)
        : ManagedObject(E, std::move(state)) {}

private:
    friend class ManagedObjectContext;
    static std::shared_ptr<T> make(std::shared_ptr<ContextState> state);
};

// One owned movie.
class Movies : public EntityRecord<Movies, Entity::Movies> {
public:
    OptionalText name() const { return text(Attribute::name); }
    bool setName(OptionalText v) { return setText(Attribute::name, std::move(v)); }
    qint16 year() const { return number(Attribute::year); }
    bool setYear(qint16 v) { return setNumber(Attribute::year, v); }
    qint16 runTime() const { return number(Attribute::runTime); }
    bool setRunTime(qint16 v) { return setNumber(Attribute::runTime, v); }
    OptionalText genre() const { return text(Attribute::genre); }
    OptionalText rating() const { return text(Attribute::rating); }
    OptionalText director() const { return text(Attribute::director); }
    OptionalText producer() const { return text(Attribute::producer); }
    OptionalText writer() const { return text(Attribute::writer); }
    OptionalText leadingActor1() const { return text(Attribute::leadingActor1); }
    OptionalText leadingActor2() const { return text(Attribute::leadingActor2); }
    OptionalText leadingActress1() const { return text(Attribute::leadingActress1); }
    OptionalText leadingActress2() const { return text(Attribute::leadingActress2); }
    OptionalText notes() const { return text(Attribute::notes); }
    OptionalBytes frontImage() const { return image(Attribute::frontImage); }
    OptionalBytes backImage() const { return image(Attribute::backImage); }

protected:
    using EntityRecord::EntityRecord;
};

// One entry of the genre reference list.
class GenreList : public EntityRecord<GenreList, Entity::GenreList> {
public:
    OptionalText genre() const { return text(Attribute::genre); }
    bool setGenre(OptionalText v) { return setText(Attribute::genre, std::move(v)); }

protected:
    using EntityRecord::EntityRecord;
};

// One entry of the rating reference list.
class RatingList : public EntityRecord<RatingList, Entity::RatingList> {
public:
    OptionalText rating() const { return text(Attribute::rating); }
    bool setRating(OptionalText v) { return setText(Attribute::rating, std::move(v)); }

protected:
    using EntityRecord::EntityRecord;
};

using MoviePtr = std::shared_ptr<Movies>;
using GenrePtr = std::shared_ptr<GenreList>;
using RatingPtr = std::shared_ptr<RatingList>;

}  // namespace quillon
