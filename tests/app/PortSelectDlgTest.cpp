#include "FakeTerminalWindow.h"
#include "app/CPortSelectDlg.h"
#include "app/PortListText.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "serial/SystemPorts.h"
#include "support/MessageBoxObserver.h"
#include "support/WindowTestDriver.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::string kNotAByte = "Please enter an integer between 0 and 255.";
const std::string kOutOfRange = "Please enter an integer between 1 and 255.";

class PortSelectWindow : public ::testing::Test {
protected:
    // Runs the window modally with the steps running inside its modal loop.
    int Run(const std::function<void()>& steps) {
        OnNextModalWindow(steps);
        return m_dlg.DoModal();
    }

    std::string PortField() const { return m_dlg.GetDlgItemText(kIdPortNumberEdit); }
    void Click(int id) { ::Click(m_dlg, id); }
    // Types into the field as a user does: all of its text selected, then replaced.
    void Type(const char* text) { ::Type(m_dlg, kIdPortNumberEdit, text); }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const ShownMessageBox& box : m_observer.Shown()) {
            texts.push_back(box.text);
        }
        return texts;
    }

    ModalHangGuard m_guard;
    MessageBoxObserver m_observer;
    TerminalRuns m_terminals;
    CPortSelectDlg m_dlg{nullptr, [this] {
                             return std::make_unique<TerminalWindowOf<FakeTerminalDlg>>(
                                 m_terminals, m_dlg, m_observer);
                         }};
};

TEST_F(PortSelectWindow, OpensWithPortOneFocusedAndSelected) {
    const int result = Run([&] {
        EXPECT_EQ(PortField(), "1");
        EXPECT_EQ(FocusedControl(m_dlg), kIdPortNumberEdit);
        EXPECT_EQ(SelectedText(m_dlg, kIdPortNumberEdit), "1");
        EXPECT_EQ(Caption(m_dlg), "Quenlark");
        Click(kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
}

TEST_F(PortSelectWindow, StartOpensATerminalWindowOnTheFieldsPort) {
    struct Row {
        const char* text;
        std::vector<std::string> messages;
        int port;
    };
    const std::vector<Row> rows = {
        {"1", {}, 1},
        {"0", {kOutOfRange}, 0},
        {"", {kNotAByte}, 0},
        {"300", {kNotAByte}, 44},
        {" 7 ", {}, 7},
        {"256", {kNotAByte}, 0},
        {"-1", {kNotAByte}, 255},
        {"12abc", {kNotAByte}, 12},
        {"255", {}, 255},
    };
    std::vector<std::string> expectedMessages;
    const int result = Run([&] {
        for (const Row& row : rows) {
            m_dlg.SetDlgItemText(kIdPortNumberEdit, row.text);
            const std::size_t before = m_observer.Shown().size();
            Click(kIdStartButton);
            ASSERT_EQ(m_observer.Shown().size(), before + row.messages.size()) << row.text;
            expectedMessages.insert(expectedMessages.end(), row.messages.begin(),
                                    row.messages.end());
            // Back after the terminal window has closed: enabled, with the same text.
            EXPECT_TRUE(TakesInput(m_dlg)) << row.text;
            EXPECT_EQ(m_dlg.GetDlgItemText(kIdPortNumberEdit), row.text);
        }
        Click(kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(Messages(), expectedMessages);
    for (const ShownMessageBox& box : m_observer.Shown()) {
        EXPECT_EQ(box.caption, "app_tests");
        EXPECT_EQ(box.icon, MessageIcon::kWarning);
    }

    // One new window per start, each destroyed before the next was made.
    ASSERT_EQ(m_terminals.runs.size(), rows.size());
    EXPECT_EQ(m_terminals.made, static_cast<int>(rows.size()));
    EXPECT_EQ(m_terminals.destroyed, m_terminals.made);
    std::size_t messagesSoFar = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TerminalRun& run = m_terminals.runs[i];
        messagesSoFar += rows[i].messages.size();
        EXPECT_EQ(run.port, rows[i].port) << rows[i].text;
        EXPECT_TRUE(run.ranModally) << rows[i].text;
        EXPECT_FALSE(run.portSelectEnabled) << rows[i].text;
        EXPECT_EQ(run.portSelectText, rows[i].text);
        EXPECT_EQ(run.messagesBefore, messagesSoFar) << rows[i].text;  // message first
        EXPECT_EQ(run.destroyedBefore, static_cast<int>(i));
    }
}

TEST_F(PortSelectWindow, NumberFieldsToolTipListsThePortsThatExist) {
    Run([&] {
        const std::string shown = ToolTip(m_dlg, kIdPortNumberEdit);
        EXPECT_EQ(shown, PortListToolTip(ListSystemPorts().ports));
        EXPECT_FALSE(shown.empty());
        Click(kIdCancel);
    });
}

TEST_F(PortSelectWindow, TypedPortIsTheOneStarted) {
    Run([&] {
        Type("300");
        Click(kIdStartButton);
        Type("17");
        Click(kIdStartButton);
        Click(kIdCancel);
    });
    ASSERT_EQ(m_terminals.runs.size(), 2u);
    EXPECT_EQ(m_terminals.runs[0].port, 44);
    EXPECT_EQ(m_terminals.runs[1].port, 17);
    EXPECT_EQ(Messages(), std::vector<std::string>{kNotAByte});
}

TEST_F(PortSelectWindow, OkWithZeroShowsTheRangeAndStaysWithTheFieldSelected) {
    const int result = Run([&] {
        Type("0");
        Click(kIdOk);
        EXPECT_TRUE(IsShown(m_dlg));
        EXPECT_EQ(m_dlg.m_byPortNumber, 0);  // stored although refused
        EXPECT_EQ(FocusedControl(m_dlg), kIdPortNumberEdit);
        EXPECT_EQ(SelectedText(m_dlg, kIdPortNumberEdit), "0");
        m_dlg.SetDlgItemText(kIdPortNumberEdit, "x");
        Click(kIdOk);
        EXPECT_TRUE(IsShown(m_dlg));
        EXPECT_EQ(SelectedText(m_dlg, kIdPortNumberEdit), "x");
        Click(kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kOutOfRange, kNotAByte}));
    EXPECT_TRUE(m_terminals.runs.empty());
}

TEST_F(PortSelectWindow, OkWithFiveEnds) {
    EXPECT_EQ(Run([&] {
                  Type("5");
                  Click(kIdOk);
              }),
              kIdOk);
    EXPECT_EQ(m_dlg.m_byPortNumber, 5);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PortSelectWindow, EnterInTheFieldIsOk) {
    EXPECT_EQ(Run([&] {
                  Type("5");
                  PressKey(m_dlg, kIdPortNumberEdit, Key::kEnter);
              }),
              kIdOk);
    EXPECT_EQ(m_dlg.m_byPortNumber, 5);
}

TEST_F(PortSelectWindow, CancelEscapeAndCloseBoxEndWithoutACheck) {
    const std::vector<std::function<void()>> ways = {
        [&] { Click(kIdCancel); },
        [&] { PressKey(m_dlg, kIdPortNumberEdit, Key::kEscape); },
        [&] { ClickCloseBox(m_dlg); },
    };
    for (const auto& cancel : ways) {
        const int result = Run([&] {
            Type("0");
            cancel();
        });
        EXPECT_EQ(result, kIdCancel);
    }
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(m_dlg.m_byPortNumber, 1);
}

}  // namespace
