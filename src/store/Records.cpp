#include "store/Records.h"

#include "store/CatalogueStore.h"
#include "store/TextSearch.h"
#include "store/private/ContextState.h"

namespace quillon {

// One bit per text attribute in textPresent_, one per attribute in changedMask_.
static_assert(kTextAttributeCount <= 16 && int(Attribute::backImage) < 32);

namespace {
constexpr const char* kAttributeNames[] = {
    "color_blackwhite", "director",        "genre", "leadingActor1", "leadingActor2",
    "leadingActress1",  "leadingActress2", "name",  "notes",         "producer",
    "rating",           "writer",          "imdb",  "year",          "runTime",
    "frontImage",       "backImage"};
}  // namespace

QString attributeName(Attribute a) {
    return QString::fromLatin1(kAttributeNames[int(a)]);
}

std::optional<Attribute> attributeNamed(const QString& name) {
    for (int i = 0; i < int(std::size(kAttributeNames)); ++i)
        if (name == QLatin1String(kAttributeNames[i])) return Attribute(i);
    return std::nullopt;
}

QString entityName(Entity e) {
    switch (e) {
        case Entity::Movies:
            return QStringLiteral("Movies");
        case Entity::GenreList:
            return QStringLiteral("GenreList");
        case Entity::RatingList:
            return QStringLiteral("RatingList");
    }
    return {};
}

struct ManagedObject::SavedValues {
    quint16 textPresent;
    bool notesUnread;
    std::array<QString, kTextAttributeCount> texts;
    qint16 year;
    qint16 runTime;
    ImageSlot front;
    ImageSlot back;
};

void ManagedObject::keepSavedValues() {
    if (rowId_ == 0 || deleted_ || savedValues_) return;
    savedValues_ = std::make_shared<const SavedValues>(
        SavedValues{textPresent_, notesUnread_, texts_, year_, runTime_, front_, back_});
}

void ManagedObject::restoreSavedValues() {
    const auto saved = std::move(savedValues_);
    if (!saved) return;
    textPresent_ = saved->textPresent;
    notesUnread_ = saved->notesUnread;
    texts_ = saved->texts;
    year_ = saved->year;
    runTime_ = saved->runTime;
    if (changedMask_ & ((1u << int(Attribute::frontImage)) | (1u << int(Attribute::backImage))))
        ++imageGeneration_;
    front_ = saved->front;
    back_ = saved->back;
    lowered_.clear();
}

ManagedObject::ManagedObject(Entity entity, std::shared_ptr<ContextState> state)
    : entity_(entity), state_(state) {}

ManagedObject::~ManagedObject() = default;

OptionalText ManagedObject::text(Attribute a) const {
    const QString* value = textIfPresent(a);
    return value ? OptionalText(*value) : std::nullopt;
}

void ManagedObject::readNotes() const {
    notesUnread_ = false;
    auto state = state_.lock();
    if (!state || rowId_ == 0) return;
    texts_[int(Attribute::notes)] = state->readNotes(rowId_);
}

const QString* ManagedObject::loweredTextIfPresent(Attribute a) const {
    const QString* original = textIfPresent(a);
    if (!original) return nullptr;
    for (const auto& [attribute, text] : lowered_)
        if (attribute == a) return &text;
    lowered_.emplace_back(a, lowerCased(*original));
    return &lowered_.back().second;
}

bool ManagedObject::setText(Attribute a, OptionalText value) {
    if (!isTextAttribute(a) || deleted_) return false;
    if (text(a) == value) return true;
    const int i = int(a);
    keepSavedValues();
    auto state = state_.lock();
    if (state) state->willChange(this, a);
    if (a == Attribute::notes) notesUnread_ = false;
    if (value) {
        textPresent_ |= quint16(1u << i);
        texts_[i] = value->isNull() ? QStringLiteral("") : std::move(*value);
    } else {
        textPresent_ &= quint16(~(1u << i));
        texts_[i] = QString();
    }
    std::erase_if(lowered_, [a](const auto& entry) { return entry.first == a; });
    markChanged(a);
    if (state) state->didChange(this, a);
    return true;
}

qint16 ManagedObject::number(Attribute a) const {
    if (a == Attribute::year) return year_;
    if (a == Attribute::runTime) return runTime_;
    return 0;
}

bool ManagedObject::setNumber(Attribute a, qint16 value) {
    if (!isNumberAttribute(a) || deleted_) return false;
    if (number(a) == value) return true;
    keepSavedValues();
    auto state = state_.lock();
    if (state) state->willChange(this, a);
    (a == Attribute::year ? year_ : runTime_) = value;
    markChanged(a);
    if (state) state->didChange(this, a);
    return true;
}

CoverRead ManagedObject::readImage(Attribute a) const {
    if (!isImageAttribute(a)) return {};
    const ImageSlot& s = slot(a);
    if (!s.present) return {};
    if (s.loaded) return {s.loaded->bytes, Status::success()};
    auto state = state_.lock();
    if (!state || rowId_ == 0)
        return {std::nullopt,
                Status::failure(Status::NotFound, "The cover is no longer in the store")};
    return state->readImage(rowId_, a);
}

bool ManagedObject::hasImage(Attribute a) const {
    return isImageAttribute(a) && slot(a).present;
}

qint64 ManagedObject::imageSize(Attribute a) const {
    return hasImage(a) ? slot(a).size : 0;
}

std::optional<SavedCover> ManagedObject::savedCover(Attribute a) const {
    if (!hasImage(a) || slot(a).loaded || rowId_ == 0) return std::nullopt;
    auto state = state_.lock();
    if (!state) return std::nullopt;
    return SavedCover{state->path, rowId_, a};
}

SavedCoverReader::SavedCoverReader() = default;
SavedCoverReader::~SavedCoverReader() = default;

Status SavedCoverReader::connect(const QString& storePath) {
    if (db_ && path_ == storePath) return Status::success();
    auto db = std::make_unique<sqlite::Database>();
    if (Status s = db->open(storePath, /*readOnly=*/true); !s) return s;
    db_ = std::move(db);
    path_ = storePath;
    return Status::success();
}

CoverRead SavedCoverReader::read(const SavedCover& cover) {
    if (Status s = connect(cover.storePath); !s) return {std::nullopt, s};
    CoverRead read = readImageRow(*db_, cover.rowId, cover.attribute);
    if (read.failed()) db_.reset();  // opened afresh for the next cover
    return read;
}

std::optional<SmallCover> SavedCoverReader::readSmall(const SavedCover& cover) {
    if (!connect(cover.storePath)) return std::nullopt;
    return readSmallCoverRow(*db_, cover.rowId, cover.attribute);
}

CoverRead readSavedCover(const SavedCover& cover) {
    return SavedCoverReader().read(cover);
}

bool ManagedObject::setImage(Attribute a, OptionalBytes bytes, std::optional<SmallCover> small) {
    if (!isImageAttribute(a) || deleted_) return false;
    if (!bytes && !slot(a).present) return true;
    keepSavedValues();
    ImageSlot& s = slot(a);
    s.present = bytes.has_value();
    s.size = bytes ? bytes->size() : 0;
    s.loaded = std::make_shared<const LoadedCover>(LoadedCover{
        bytes ? std::move(*bytes) : QByteArray(), bytes ? std::move(small) : std::nullopt});
    ++imageGeneration_;
    markChanged(a);
    return true;
}

void ManagedObject::markChanged(Attribute a) {
    changedMask_ |= (1u << int(a));
    if (auto state = state_.lock()) state->markDirty(this);
}

template <class T, Entity E>
std::shared_ptr<T> EntityRecord<T, E>::make(std::shared_ptr<ContextState> state) {
    // make_shared needs a constructor it may call.
    struct Made : T {
        explicit Made(std::shared_ptr<ContextState> s) : T(std::move(s)) {}
    };
    return std::make_shared<Made>(std::move(state));
}

template <class T, Entity E>
std::shared_ptr<T> EntityRecord<T, E>::insertInto(ManagedObjectContext& context) {
    auto record = make(context.state_);
    context.insert(record);
    return record;
}

template class EntityRecord<Movies, Entity::Movies>;
template class EntityRecord<GenreList, Entity::GenreList>;
template class EntityRecord<RatingList, Entity::RatingList>;

}  // namespace quillon
