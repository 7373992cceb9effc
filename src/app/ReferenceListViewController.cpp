#include "app/ReferenceListViewController.h"

#include <QVBoxLayout>

#include "reference/ReferenceMember.h"
#include "toolkit/Appearance.h"

namespace quillon {

ReferenceListViewController::ReferenceListViewController(QWidget* parent)
    : ViewController(parent),
      GenreButton(new QPushButton("Genres")),
      RatingButton(new QPushButton("Ratings")) {
    GenreButton->setObjectName("GenreButton");
    RatingButton->setObjectName("RatingButton");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(10);
    for (QPushButton* button : {GenreButton, RatingButton}) {
        button->setMinimumHeight(40);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    connect(GenreButton, &QPushButton::clicked, this,
            [this] { performSegue(kGenreMember.listSegue); });
    connect(RatingButton, &QPushButton::clicked, this,
            [this] { performSegue(kRatingMember.listSegue); });
}

void ReferenceListViewController::viewDidLoad() {
    setTitle("Reference Lists");
    appearance::applyButtonLook(GenreButton);
    appearance::applyButtonLook(RatingButton);
}

}  // namespace quillon
