#include "RecordingDialog.h"
#include "res/DialogIds.h"
#include "support/MessageBoxObserver.h"
#include "support/WindowTestDriver.h"
#include "ui/MessageBoxes.h"

#include <algorithm>
#include <chrono>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(ApplicationName, IsTheProgramFileWithoutExtension) {
    EXPECT_EQ(ApplicationName(), "ui_tests");
}

TEST(MessageBoxes, AppBoxesHaveTheApplicationCaptionAndTheirIcon) {
    MessageBoxObserver observer;
    const char russian[] = "Неудалось открыть файл параметров";
    EXPECT_EQ(ShowAppMessageBox(russian), kIdOk);
    EXPECT_EQ(ShowAppMessageBox("<b>fff</b> & more"), kIdOk);
    EXPECT_EQ(ShowAppInformationBox("quenlark 1.0"), kIdOk);
    ASSERT_EQ(observer.Shown().size(), 3u);
    EXPECT_EQ(observer.Shown()[0].caption, "ui_tests");
    EXPECT_EQ(observer.Shown()[0].text, russian);
    EXPECT_EQ(observer.Shown()[0].icon, MessageIcon::kWarning);
    EXPECT_EQ(observer.Shown()[1].text, "<b>fff</b> & more");
    EXPECT_EQ(observer.Shown()[2].caption, "ui_tests");
    EXPECT_EQ(observer.Shown()[2].icon, MessageIcon::kInformation);
}

TEST(MessageBoxes, ErrorBoxHasInformationIconErrorCaptionNoOwnerAndHoldsEveryWindow) {
    ModalHangGuard guard;
    MessageBoxObserver observer(60s);
    RecordingDialog dialog;
    bool dialogTookInput = true;
    observer.CloseWhen([&] {
        if (observer.Shown().size() == 1) {
            dialogTookInput = TakesInput(dialog);
        }
        return true;
    });
    RunModal(dialog, [&] {
        ShowErrorBox("No such file or directory");
        ShowAppMessageBox("fff");
        dialog.EndDialog(kIdCancel);
    });
    ASSERT_EQ(observer.Shown().size(), 2u);
    const ShownMessageBox& error = observer.Shown()[0];
    EXPECT_EQ(error.caption, "Error");
    EXPECT_EQ(error.text, "No such file or directory");
    EXPECT_EQ(error.icon, MessageIcon::kInformation);
    EXPECT_FALSE(error.owned);
    EXPECT_TRUE(observer.Shown()[1].owned);  // over the window running at the time
    EXPECT_FALSE(dialogTookInput);
}

TEST(MessageBoxObserver, InnerObserverRecordsUntilItGoes) {
    MessageBoxObserver outer;
    {
        MessageBoxObserver inner;
        ShowErrorBox("inner");
        EXPECT_EQ(inner.Shown().size(), 1u);
    }
    ShowErrorBox("outer");
    ASSERT_EQ(outer.Shown().size(), 1u);
    EXPECT_EQ(outer.Shown()[0].text, "outer");
}

TEST(WindowTimer, TicksDuringStartUpBoxAndCarriesItsIdentifier) {
    ModalHangGuard guard;
    MessageBoxObserver observer(60s);
    RecordingDialog dialog;
    observer.CloseWhen([&] { return dialog.ticks.size() >= 2; });
    dialog.onInit = [&] {
        dialog.SetTimer(7, 10);
        ShowErrorBox("The system cannot find the file specified.");
        dialog.EndDialog(kIdCancel);
    };
    EXPECT_EQ(dialog.DoModal(), kIdCancel);
    ASSERT_GE(dialog.ticks.size(), 2u);
    EXPECT_EQ(dialog.ticks.front(), 7u);
}

TEST(WindowTimer, TickThatShowsABoxIsNotReenteredWhileOtherTimersGoOn) {
    ModalHangGuard guard;
    MessageBoxObserver observer(60s);
    RecordingDialog dialog;
    int boxes = 0;
    int nestedTicks = 0;
    int otherTicksInBox = 0;
    bool inBox = false;
    dialog.onTimer = [&](unsigned nIDEvent) {
        if (inBox) {
            (nIDEvent == 1 ? nestedTicks : otherTicksInBox)++;
            return;
        }
        if (nIDEvent == 1 && boxes == 0) {
            ++boxes;
            inBox = true;
            ShowErrorBox("The device does not recognize the command.");
            inBox = false;
        }
    };
    observer.CloseWhen([&] { return otherTicksInBox >= 5; });
    dialog.onInit = [&] {
        dialog.SetTimer(1, 5);
        dialog.SetTimer(2, 5);
    };
    RunModal(dialog, [&] {
        EXPECT_TRUE(WaitUntil([&] { return boxes == 1 && !inBox; }));
        dialog.EndDialog(kIdOk);
    });
    EXPECT_GE(otherTicksInBox, 5);
    EXPECT_EQ(nestedTicks, 0);
}

TEST(WindowTimer, KillTimerAndTheEndOfTheRunStopIt) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    dialog.onInit = [&] {
        dialog.SetTimer(1, 10);
        dialog.SetTimer(2, 10);
    };
    RunModal(dialog, [&] {
        EXPECT_TRUE(WaitUntil([&] {
            return std::count(dialog.ticks.begin(), dialog.ticks.end(), 1u) >= 1 &&
                   std::count(dialog.ticks.begin(), dialog.ticks.end(), 2u) >= 1;
        }));
        dialog.KillTimer(1);
        const std::size_t before = dialog.ticks.size();
        EXPECT_TRUE(WaitUntil([&] { return dialog.ticks.size() >= before + 2; }));
        EXPECT_EQ(
            std::count(dialog.ticks.begin() + static_cast<long>(before), dialog.ticks.end(), 1u),
            0);
        dialog.EndDialog(kIdOk);
    });
    // Ten polls of the loop after the run: a timer of 10 ms left running would tick.
    const std::size_t ticksAtTheEnd = dialog.ticks.size();
    int polls = 0;
    const EventLoopPoll poll([&polls] { ++polls; });
    EXPECT_TRUE(WaitUntil([&polls] { return polls >= 10; }));
    EXPECT_EQ(dialog.ticks.size(), ticksAtTheEnd);
}

}  // namespace
