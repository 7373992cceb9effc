#include "handover/SelectionState.h"

#include "store/Records.h"

namespace quillon {

void selectMovie(const Movies& m, SelectionState& s, NotesCopy notes) {
    const auto orEmpty = [](const OptionalText& text) { return text.value_or(QString()); };
    s.SelectedImages.clear();
    s.SelectedName = orEmpty(m.name());
    s.SelectedYear = m.year();
    s.SelectedActor1 = orEmpty(m.leadingActor1());
    s.SelectedActor2 = orEmpty(m.leadingActor2());
    s.SelectedActress1 = orEmpty(m.leadingActress1());
    s.SelectedActress2 = orEmpty(m.leadingActress2());
    s.SelectedDirector = orEmpty(m.director());
    s.SelectedProducer = orEmpty(m.producer());
    s.SelectedGenre = orEmpty(m.genre());
    s.SelectedFrontImage = m.frontImage();
    s.SelectedBackImage = m.hasImage(Attribute::backImage) ? m.backImage() : std::nullopt;
    if (notes == NotesCopy::Copy) s.SelectedNotes = orEmpty(m.notes());
}

}  // namespace quillon
