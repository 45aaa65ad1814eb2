#include "TerminalWindowTest.h"
#include "codec/LineFormat.h"
#include "codec/ModbusCrc16.h"
#include "params/ParametersFile.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kNoEntry = -1;

const std::vector<int CTerminalDlg::*> kRememberedFormats = {
    &CTerminalDlg::m_nLineFormat1, &CTerminalDlg::m_nLineFormat2, &CTerminalDlg::m_nLineFormat3,
    &CTerminalDlg::m_nLineFormat4, &CTerminalDlg::m_nLineFormat5,
};
const std::vector<ByteArray CTerminalDlg::*> kLineBytes = {
    &CTerminalDlg::m_lineBytes1, &CTerminalDlg::m_lineBytes2, &CTerminalDlg::m_lineBytes3,
    &CTerminalDlg::m_lineBytes4, &CTerminalDlg::m_lineBytes5,
};

class TerminalWindowSendLine : public TerminalWindowTest {
protected:
    // Puts the line into `format` as a user does, then types `text` into it.
    void Prepare(const SendLineControls& line, int format, std::string_view text) {
        if (format != kNoEntry) {
            Choose(line.format, format);
        }
        Type(line.edit, text);
    }
    // The next `count` bytes that reach the far end of the line.
    Bytes Written(std::size_t count) { return m_pty.ReadFromMaster(count); }
    // Whether the window has written anything to the port at all.
    bool WroteNothing() const { return m_calls.Matching("Write").empty(); }
};

TEST_F(TerminalWindowSendLine, SendWritesTheLineInOneWriteAndShowsItCanonically) {
    struct Row {
        int format;
        std::string typed;
        Bytes written;
        std::string shown;
    };
    const std::string longText(1500, 'x');
    Bytes longFrame(1022, 'x');
    longFrame[1020] = 0x0D;
    longFrame[1021] = 0x0A;
    const std::vector<Row> rows = {
        // No entry picked yet: no bytes and nothing appended, but the typed text stays.
        {kNoEntry, "AT", {}, "AT"},
        {kLineFormatText, "AT", {0x41, 0x54, 0x0D, 0x0A}, "AT"},
        {kLineFormatDec, "65,84", {0x41, 0x54}, "065,084"},
        {kLineFormatText, "", {0x0D, 0x0A}, ""},
        {kLineFormatDec, "", {}, ""},
        {kLineFormatHex, "", {}, ""},
        {kLineFormatHex, "5", {0x50}, "50"},
        {kLineFormatHex, "1a2b,0x12", {0x1A, 0x00}, "1a,00"},
        {kLineFormatText, longText, longFrame, longText},
    };
    Run([&] {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Row& row = rows[i];
            const SendLineControls& line = kSendLines[i % std::size(kSendLines)];
            if (row.typed.size() > 100) {
                Choose(line.format, row.format);
                m_dlg->SetDlgItemText(line.edit, row.typed);  // pasted
            } else {
                Prepare(line, row.format, row.typed);
            }
            const std::size_t before = m_calls.calls.size();
            Click(line.send);
            EXPECT_EQ(Written(row.written.size()), row.written) << i;
            EXPECT_EQ(Text(line.edit), row.shown) << i;
            EXPECT_EQ(m_dlg->ComboGetCurSel(line.format), row.format) << i;
            // One write of the channel: its pause, then at most one write of the device.
            EXPECT_EQ(m_calls.Matching("Sleep 2", before).size(), 1u) << i;
            const std::vector<std::string> writes = m_calls.Matching("Write", before);
            if (row.written.empty()) {
                EXPECT_TRUE(writes.empty()) << i;
            } else {
                EXPECT_EQ(writes,
                          std::vector<std::string>{"Write " + std::to_string(row.written.size())})
                    << i;
            }
        }
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowSendLine, EveryLineSendsItsOwnBytes) {
    Run([&] {
        for (std::size_t i = 0; i < std::size(kSendLines); ++i) {
            Prepare(kSendLines[i], kLineFormatHex, std::to_string(i + 1) + "0");
        }
        for (std::size_t i = 0; i < std::size(kSendLines); ++i) {
            Click(kSendLines[i].send);
            EXPECT_EQ(Written(1), Bytes{static_cast<std::uint8_t>((i + 1) * 0x10)}) << i;
            EXPECT_EQ((*m_dlg).*kLineBytes[i],
                      ByteArray{static_cast<std::uint8_t>((i + 1) * 0x10)});
            EXPECT_EQ((*m_dlg).*kRememberedFormats[i], kLineFormatHex) << i;
        }
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowSendLine, PickingAFormatRewritesTheTextInIt) {
    struct Step {
        int format;
        std::string shown;
    };
    struct Row {
        int format;
        std::string typed;
        std::vector<Step> steps;
    };
    const std::vector<Row> rows = {
        {kLineFormatText, "AT", {{kLineFormatHex, "41,54"}, {kLineFormatText, "AT"}}},
        {kLineFormatDec, "1,3,10", {{kLineFormatHex, "01,03,0a"}, {kLineFormatDec, "001,003,010"}}},
        // The field holds text only up to its first zero byte; the rest is lost.
        {kLineFormatHex, "41,00,42", {{kLineFormatText, "A"}, {kLineFormatHex, "41"}}},
        // Picking the entry already selected writes the text canonically.
        {kLineFormatDec, "7,300", {{kLineFormatDec, "007,044"}}},
    };
    Run([&] {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const SendLineControls& line = kSendLines[i];
            Prepare(line, rows[i].format, rows[i].typed);
            for (const Step& step : rows[i].steps) {
                Choose(line.format, step.format);
                EXPECT_EQ(Text(line.edit), step.shown) << i << " " << step.format;
                EXPECT_EQ((*m_dlg).*kRememberedFormats[i], step.format) << i;
            }
        }
        EXPECT_TRUE(WroteNothing());
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowSendLine, HexWithAZeroByteSwitchedToTextSendsOnlyWhatTheFieldShows) {
    Run([&] {
        Prepare(kSendLines[0], kLineFormatHex, "41,00,42");
        Choose(kIdLineFormat1, kLineFormatText);
        EXPECT_EQ(Text(kIdLineEdit1), "A");
        Click(kIdSendButton1);
        EXPECT_EQ(Written(3), (Bytes{0x41, 0x0D, 0x0A}));
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowSendLine, MbWritesTheChecksumIntoTheLastTwoBytes) {
    struct Row {
        int format;
        std::string typed;
        std::string shown;
    };
    const std::vector<Row> rows = {
        {kLineFormatDec, "1,3,0,0,0,10,0,0", "001,003,000,000,000,010,197,205"},
        {kLineFormatHex, "01,03,00,00,00,0a,00,00", "01,03,00,00,00,0a,c5,cd"},
        {kLineFormatHex, "12,34", "ff,ff"},
        // Fewer than two bytes: nothing to fill, and the line stays as typed.
        {kLineFormatHex, "7", "7"},
        {kLineFormatDec, "", ""},
    };
    Run([&] {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const SendLineControls& line = kSendLines[i];
            Prepare(line, rows[i].format, rows[i].typed);
            Click(line.mb);
            EXPECT_EQ(Text(line.edit), rows[i].shown) << i;
            // Again: the checksum is recomputed from the others, so nothing changes.
            Click(line.mb);
            EXPECT_EQ(Text(line.edit), rows[i].shown) << i;
            EXPECT_EQ(m_dlg->ComboGetCurSel(line.format), rows[i].format) << i;
        }
        EXPECT_TRUE(WroteNothing());
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowSendLine, MbOnALineWithNoEntryPickedChangesNothing) {
    Run([&] {
        Type(kIdLineEdit2, "01,02,03");
        Click(kIdMbButton2);
        EXPECT_EQ(Text(kIdLineEdit2), "01,02,03");
        EXPECT_EQ(m_dlg->m_nLineFormat2, -1);
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowSendLine, MbOnATextLineShowsItUpToAZeroChecksumByte) {
    Run([&] {
        // The checksum of "DAT" is 0x7A00: low byte first, so the zero comes first.
        Prepare(kSendLines[2], kLineFormatText, "DAT??");
        Click(kIdMbButton3);
        EXPECT_EQ(m_dlg->m_lineBytes3, (ByteArray{'D', 'A', 'T', 0x00, 0x7A}));
        EXPECT_EQ(Text(kIdLineEdit3), "DAT");
        Click(kIdSendButton3);
        EXPECT_EQ(Written(5), (Bytes{'D', 'A', 'T', 0x0D, 0x0A}));

        // A checksum with no zero byte shows as two characters.
        Prepare(kSendLines[3], kLineFormatText, "AB..");
        Click(kIdMbButton4);
        const std::uint16_t crc = ModbusCrc16(reinterpret_cast<const std::uint8_t*>("AB"), 2);
        EXPECT_EQ(Text(kIdLineEdit4),
                  std::string("AB") + static_cast<char>(crc & 0xFF) + static_cast<char>(crc >> 8));
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowSendLine, MbOnALineLongerThan2048BytesCoversAllButTheLastTwo) {
    Run([&] {
        Choose(kIdLineFormat5, kLineFormatHex);
        std::string text = "01";
        for (int i = 1; i < 3000; ++i) {
            text += ",01";
        }
        m_dlg->SetDlgItemText(kIdLineEdit5, text);
        Click(kIdMbButton5);
        const ByteArray ones(2998, 0x01);
        const std::uint16_t crc = ModbusCrc16(ones.data(), 2998);
        ASSERT_EQ(m_dlg->m_lineBytes5.size(), 3000u);
        EXPECT_EQ(m_dlg->m_lineBytes5[2998], crc & 0xFF);
        EXPECT_EQ(m_dlg->m_lineBytes5[2999], crc >> 8);
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowSendLine, OkSavesEachSelectorsEntryAndTheTextAsShown) {
    const int result = Run([&] {
        Prepare(kSendLines[0], kLineFormatText, "AT");
        Prepare(kSendLines[1], kLineFormatHex, "01,03,00,00,00,01");
        Prepare(kSendLines[2], kLineFormatDec, "1,2,3");
        Click(kIdSendButton3);
        Choose(kIdLineFormat4, kLineFormatText);
        Choose(kIdLineFormat5, kLineFormatText);
        Click(kIdOk);
    });
    EXPECT_EQ(result, kIdOk);
    std::ifstream file("VwData.dat", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(bytes, "0\r\nAT\r\n2\r\n01,03,00,00,00,01\r\n1\r\n001,002,003\r\n0\r\n\r\n0\r\n\r\n");
    EXPECT_EQ(bytes.size(), 55u);
}

}  // namespace
