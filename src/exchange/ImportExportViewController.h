#pragma once

#include "toolkit/ViewController.h"

class QPushButton;

namespace quillon {

// The main menu's way into data exchange: a choice between export and import.
class ImportExportViewController : public ViewController {
    Q_OBJECT
public:
    explicit ImportExportViewController(QWidget* parent = nullptr);
    void viewDidLoad() override;

    QPushButton* ExportMoviesButton;
    QPushButton* ImportMoviesButton;
};

}  // namespace quillon
