#include <gtest/gtest.h>

#include <QFileDialog>

#include "platform/DocumentPicker.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

// The picker of a picture lists the pictures Qt reads, JPEG and PNG first, then any file; the
// picker of any file offers no such list. Cancelling answers the caller.
TEST(DesktopDocumentPicker, PicturesAreListedJpegAndPngFirst) {
    QWidget window;
    window.show();
    DesktopDocumentPicker picker;
    int cancels = 0;
    const auto dialog = [&] { return window.findChild<QFileDialog*>("DocumentPicker"); };
    picker.pickPicture(
        &window, [](const QString&) {}, [&] { ++cancels; });
    ASSERT_TRUE(dialog());
    const QStringList filters = dialog()->nameFilters();
    EXPECT_TRUE(filters.value(0).startsWith("Pictures (*.jpg *.jpeg *.png *.") &&
                filters.value(0).contains("*.bmp"));
    EXPECT_EQ(filters.value(1), "All files (*)");
    dialog()->reject();
    EXPECT_EQ(cancels, 1);
    pumpEvents();
    picker.pick(
        &window, [](const QString&) {}, [] {});
    ASSERT_TRUE(dialog());
    EXPECT_FALSE(dialog()->nameFilters().join(' ').contains("Pictures"));
}

}  // namespace
}  // namespace quillon::test
