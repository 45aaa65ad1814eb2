#include "app/CAboutBox.h"
#include "app/CPortSelectDlg.h"
#include "ui/DialogFont.h"

#include <filesystem>
#include <string>

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

// Grabs the window as it is drawn, checks its size against its template and keeps it as a
// PNG under the build folder.
void CheckAndSave(TemplateDialog& window, const std::string& name) {
    window.OnInitDialog();
    window.show();
    const QImage image = window.grab().toImage();
    window.hide();

    const DialogTemplate& dialogTemplate = window.Template();
    const DialogBaseUnits base = MeasureDialogBaseUnits(DialogFont(dialogTemplate));
    EXPECT_EQ(image.width(), DialogUnitsToPixelsX(dialogTemplate.cx, base)) << name;
    EXPECT_EQ(image.height(), DialogUnitsToPixelsY(dialogTemplate.cy, base)) << name;
    EXPECT_GT(image.width(), dialogTemplate.cx) << name;

    std::filesystem::create_directories(QUENLARK_SCREENSHOT_DIR);
    const std::filesystem::path file = std::filesystem::path(QUENLARK_SCREENSHOT_DIR) / name;
    EXPECT_TRUE(image.save(QString::fromStdString(file.string()))) << file;
}

TEST(Screenshot, PortSelectionWindow) {
    CPortSelectDlg dlg;
    CheckAndSave(dlg, "port-selection.png");
}

TEST(Screenshot, AboutBox) {
    CAboutBox box;
    CheckAndSave(box, "about-box.png");
}

}  // namespace
