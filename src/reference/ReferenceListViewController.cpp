#include "reference/ReferenceListViewController.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "catalogue/ReferenceMember.h"
#include "toolkit/Appearance.h"
#include "toolkit/MenuColumn.h"

namespace quillon {

ReferenceListViewController::ReferenceListViewController(QWidget* parent) : ViewController(parent) {
    QVBoxLayout* column = createMenuColumn(this);
    GenreButton = addMenuEntry(column, this, "Genres", kGenreMember.listSegue);
    RatingButton = addMenuEntry(column, this, "Ratings", kRatingMember.listSegue);
    GenreButton->setObjectName("GenreButton");
    RatingButton->setObjectName("RatingButton");
    column->addStretch(1);
}

void ReferenceListViewController::viewDidLoad() {
    setTitle("Reference Lists");
    appearance::applyButtonLook(GenreButton);
    appearance::applyButtonLook(RatingButton);
}

}  // namespace quillon
