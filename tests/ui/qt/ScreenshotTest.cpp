#include "res/TerminalTemplate.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/DialogFont.h"
#include "ui/qt/QtControls.h"

#include <filesystem>

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

TEST(Screenshot, TerminalLayoutHasItsSizeFromDialogUnits) {
    TemplateDialog dialog(kTerminalTemplate);
    dialog.OnInitDialog();
    dialog.ComboSetCurSel(kIdLogFormat, 2);
    dialog.SetDlgItemText(kIdSettingsEdit, "9600, N, 8, 1");
    dialog.SetDlgItemText(kIdLogView, "01  03  00  00  00  0a  c5  cd  ");
    QtWindow(dialog).show();
    const QImage image = QtWindow(dialog).grab().toImage();
    QtWindow(dialog).hide();

    const DialogBaseUnits base = MeasureDialogBaseUnits(DialogFont(kTerminalTemplate));
    EXPECT_EQ(image.width(), DialogUnitsToPixelsX(kTerminalTemplate.cx, base));
    EXPECT_EQ(image.height(), DialogUnitsToPixelsY(kTerminalTemplate.cy, base));
    // An 8-point font makes a window of a few hundred pixels.
    EXPECT_GT(image.width(), 315);
    EXPECT_LT(image.width(), 315 * 4);

    std::filesystem::create_directories(QUENLARK_SCREENSHOT_DIR);
    const std::filesystem::path file =
        std::filesystem::path(QUENLARK_SCREENSHOT_DIR) / "terminal-layout.png";
    ASSERT_TRUE(image.save(QString::fromStdString(file.string())));
}

}  // namespace
