#include "TerminalWindowTest.h"
#include "codec/LineFormat.h"

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

using TerminalWindowCapture = TerminalWindowTest;

TEST_F(TerminalWindowCapture, EveryByteReceivedIsAppendedWhateverTheLogDoes) {
    const std::filesystem::path file = m_cwd.Path() / "capture.bin";
    std::ofstream(file, std::ios::binary) << "kept";
    std::string sent;
    for (int i = 0; i < 5000; ++i) {
        sent += static_cast<char>(i * 7 % 256);
    }
    m_dlg->m_strCaptureFile = file.string();
    Run([&] {
        EXPECT_TRUE(IsSystemMenuItemChecked(*m_dlg, CTerminalDlg::kIdmCaptureToFile));
        // The log holds less than 2048 bytes, so it starts again at least once on the way;
        // neither Clear nor the format touches the file.
        ASSERT_TRUE(m_device.Give(sent.substr(0, 3000)));
        ASSERT_TRUE(WaitUntil([&] { return FileBytes(file).size() == 4 + 3000; }));
        Click(kIdClearButton);
        Choose(kIdLogFormat, kLineFormatText);
        ASSERT_TRUE(m_device.Give(sent.substr(3000)));
        ASSERT_TRUE(WaitUntil([&] { return FileBytes(file).size() == 4 + 5000; }));
        EXPECT_EQ(m_dlg->m_nShown, 2000);
        Click(kIdCancel);
    });
    EXPECT_EQ(FileBytes(file), "kept" + sent);
    EXPECT_EQ(Messages().size(), 1u);  // the parameters file's
}

TEST_F(TerminalWindowCapture, MenuItemIsCheckedWhileACaptureRunsAndStopsIt) {
    Run([&] {
        EXPECT_FALSE(IsSystemMenuItemChecked(*m_dlg, CTerminalDlg::kIdmCaptureToFile));
        AnswerNextFileDialog("menu.bin");
        ChooseSystemMenuItem(*m_dlg, CTerminalDlg::kIdmCaptureToFile);
        EXPECT_TRUE(IsSystemMenuItemChecked(*m_dlg, CTerminalDlg::kIdmCaptureToFile));
        ASSERT_TRUE(m_device.Give("AB"));
        ASSERT_TRUE(WaitUntil([&] { return FileBytes(m_cwd.Path() / "menu.bin") == "AB"; }));

        ChooseSystemMenuItem(*m_dlg, CTerminalDlg::kIdmCaptureToFile);
        EXPECT_FALSE(IsSystemMenuItemChecked(*m_dlg, CTerminalDlg::kIdmCaptureToFile));
        // Asked for a file again, the user cancels: still no capture, no mark.
        AnswerNextFileDialog(std::nullopt);
        ChooseSystemMenuItem(*m_dlg, CTerminalDlg::kIdmCaptureToFile);
        EXPECT_FALSE(IsSystemMenuItemChecked(*m_dlg, CTerminalDlg::kIdmCaptureToFile));
        ASSERT_TRUE(m_device.Give("C"));
        EXPECT_TRUE(LogShows("41  42  43  "));
        Click(kIdCancel);
    });
    EXPECT_EQ(FileBytes(m_cwd.Path() / "menu.bin"), "AB");
}

TEST_F(TerminalWindowCapture, FileThatCannotBeOpenedIsNamedInItsBoxAndTheWindowRunsOn) {
    const std::string file = (m_cwd.Path() / "missing" / "capture.bin").string();
    m_dlg->m_strCaptureFile = file;
    Run([&] {
        EXPECT_FALSE(IsSystemMenuItemChecked(*m_dlg, CTerminalDlg::kIdmCaptureToFile));
        ASSERT_TRUE(m_device.Give("A"));
        EXPECT_TRUE(LogShows("41  "));
        Click(kIdCancel);
    });
    ASSERT_EQ(Messages().size(), 2u);
    const std::string named = "Capture to file failed: " + file + '\n';
    EXPECT_EQ(Messages()[1].substr(0, named.size()), named);
    EXPECT_GT(Messages()[1].size(), named.size());  // and the system's reason
}

}  // namespace
