#include "exchange/ImportExportViewController.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "toolkit/Appearance.h"

namespace quillon {

ImportExportViewController::ImportExportViewController(QWidget* parent)
    : ViewController(parent),
      ExportMoviesButton(new QPushButton("Export Movies")),
      ImportMoviesButton(new QPushButton("Import Movies")) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(10);
    for (QPushButton* button : {ExportMoviesButton, ImportMoviesButton}) {
        button->setMinimumHeight(40);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    connect(ExportMoviesButton, &QPushButton::clicked, this,
            [this] { performSegue("ExportMovies"); });
    connect(ImportMoviesButton, &QPushButton::clicked, this,
            [this] { performSegue("ImportMovies"); });
}

void ImportExportViewController::viewDidLoad() {
    setTitle("Import / Export");
    appearance::applyButtonLook(ExportMoviesButton);
    appearance::applyButtonLook(ImportMoviesButton);
}

}  // namespace quillon
