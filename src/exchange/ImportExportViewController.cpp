#include "exchange/ImportExportViewController.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "exchange/ExchangeSegues.h"
#include "toolkit/Appearance.h"
#include "toolkit/MenuColumn.h"

namespace quillon {

ImportExportViewController::ImportExportViewController(QWidget* parent) : ViewController(parent) {
    QVBoxLayout* column = createMenuColumn(this);
    ExportMoviesButton = addMenuEntry(column, this, "Export Movies", kExportMoviesSegue);
    ImportMoviesButton = addMenuEntry(column, this, "Import Movies", kImportMoviesSegue);
    column->addStretch(1);
}

void ImportExportViewController::viewDidLoad() {
    setTitle("Import / Export");
    appearance::applyButtonLook(ExportMoviesButton);
    appearance::applyButtonLook(ImportMoviesButton);
}

}  // namespace quillon
