#pragma once

#include <QPushButton>

#include "toolkit/ViewController.h"

namespace quillon {

// The reference-list menu: one entry for the genre list and one for the rating list.
class ReferenceListViewController : public ViewController {
    Q_OBJECT
public:
    explicit ReferenceListViewController(QWidget* parent = nullptr);

    void viewDidLoad() override;

    QPushButton* GenreButton;
    QPushButton* RatingButton;
};

}  // namespace quillon
