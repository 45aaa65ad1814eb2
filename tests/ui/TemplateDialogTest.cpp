#include "RecordingDialog.h"
#include "res/AboutBoxTemplate.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "res/TerminalTemplate.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/DialogFont.h"
#include "ui/qt/QtControls.h"

#include <set>
#include <string>

#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(TemplateDialog, TerminalTemplateGivesEveryControlAtItsRectangle) {
    TemplateDialog dialog(kTerminalTemplate);
    const DialogBaseUnits base = QtBaseUnits(dialog);
    EXPECT_EQ(QtWindow(dialog).windowTitle(), QStringLiteral("Viewer"));
    EXPECT_EQ(QtWindow(dialog).size(),
              QSize(DialogUnitsToPixelsX(315, base), DialogUnitsToPixelsY(319, base)));
    EXPECT_EQ(QtWindow(dialog).minimumSize(), QtWindow(dialog).maximumSize());

    std::set<int> ids;
    for (const ControlTemplate& control : kTerminalTemplate.controls) {
        QWidget* widget = QtControl(dialog, control.id);
        ASSERT_NE(widget, nullptr) << control.id;
        ids.insert(control.id);
        const PixelRect rect = DialogRectToPixels(control.rect, base);
        EXPECT_EQ(widget->pos(), QPoint(rect.x, rect.y)) << control.id;
        EXPECT_EQ(widget->width(), rect.width) << control.id;
        if (control.kind == ControlKind::ComboBox) {
            // The rest of the rectangle is the open list.
            EXPECT_LE(widget->height(), rect.height) << control.id;
            EXPECT_GT(widget->height(), 0) << control.id;
        } else {
            EXPECT_EQ(widget->height(), rect.height) << control.id;
        }
        EXPECT_TRUE(widget->isEnabled()) << control.id;
        EXPECT_EQ(widget->focusPolicy(), Qt::StrongFocus) << control.id;
    }
    EXPECT_EQ(ids.size(), 27u);
    EXPECT_EQ(QtControl(dialog, 1027), nullptr);
    EXPECT_EQ(QtControl(dialog, kIdStatic), nullptr);
}

TEST(TemplateDialog, ControlKindsTextsAndDefaultButton) {
    TemplateDialog dialog(kTerminalTemplate);
    struct Row {
        int id;
        const char* kind;
        std::string text;
    };
    const Row rows[] = {
        {kIdOk, "QPushButton", "OK"},
        {kIdCancel, "QPushButton", "Cancel"},
        {kIdClearButton, "QPushButton", "Clear"},
        {kIdSendButton1, "QPushButton", "Send 1"},
        {kIdSendButton5, "QPushButton", "Send 5"},
        {kIdSetButton, "QPushButton", "Set"},
        {kIdMbButton5, "QPushButton", "Mb"},
        {kIdLogView, "QPlainTextEdit", ""},
        {kIdSettingsEdit, "QLineEdit", ""},
        {kIdLineEdit4, "QLineEdit", ""},
        {kIdLineFormat4, "QComboBox", ""},
        {kIdLogFormat, "QComboBox", ""},
    };
    for (const Row& row : rows) {
        QWidget* widget = QtControl(dialog, row.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(row.kind)) << row.id;
        EXPECT_EQ(dialog.GetDlgItemText(row.id), row.text) << row.id;
    }
    for (const int id : {kIdOk, kIdCancel, kIdSendButton1, kIdMbButton1}) {
        EXPECT_EQ(static_cast<QPushButton*>(QtControl(dialog, id))->isDefault(), id == kIdOk);
    }
}

TEST(TemplateDialog, TabOrderIsTheTemplateOrder) {
    TemplateDialog dialog(kTerminalTemplate);
    std::set<QWidget*> controls;
    for (const ControlTemplate& control : kTerminalTemplate.controls) {
        controls.insert(QtControl(dialog, control.id));
    }
    QWidget* first = QtControl(dialog, kTerminalTemplate.controls.front().id);
    std::vector<QWidget*> chain{first};
    for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain()) {
        if (controls.count(w) != 0) {
            chain.push_back(w);
        }
    }
    ASSERT_EQ(chain.size(), kTerminalTemplate.controls.size());
    for (std::size_t i = 0; i < chain.size(); ++i) {
        EXPECT_EQ(chain[i], QtControl(dialog, kTerminalTemplate.controls[i].id)) << i;
    }
}

TEST(TemplateDialog, LogViewIsReadOnlyUnwrappedAndFixedWidth) {
    TemplateDialog dialog(kTerminalTemplate);
    auto* log = qobject_cast<QPlainTextEdit*>(QtControl(dialog, kIdLogView));
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isReadOnly());
    EXPECT_EQ(log->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // Every character one width, so that the log's columns line up; the font's own flag says
    // less (Noto Sans Mono, for one, reports itself as not fixed-pitch).
    const QFontMetrics metrics(log->font());
    for (const char c : {'i', 'W', '0', ' ', '.'}) {
        EXPECT_EQ(metrics.horizontalAdvance(QChar(c)), metrics.horizontalAdvance(QChar('M'))) << c;
    }
    EXPECT_EQ(log->font().pointSize(), kTerminalTemplate.pointSize);

    const QFont dialogFont = DialogFont(kTerminalTemplate);
    EXPECT_EQ(dialogFont.pointSize(), 8);
    if (!QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))) {
        EXPECT_EQ(dialogFont.family(),
                  QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    }
    for (const int id : {kIdOk, kIdSettingsEdit, kIdLineEdit1, kIdLineFormat1}) {
        EXPECT_EQ(QtControl(dialog, id)->font(), dialogFont) << id;
    }
}

TEST(TemplateDialog, MultiLineTextKeepsLineBreaksAndEveryByte) {
    TemplateDialog dialog(kTerminalTemplate);
    const std::string text = "A\r\n\r\nB\xA0\xFF  \r\n41  0d";
    dialog.SetDlgItemText(kIdLogView, text);
    EXPECT_EQ(dialog.GetDlgItemText(kIdLogView), text);
    auto* log = static_cast<QPlainTextEdit*>(QtControl(dialog, kIdLogView));
    EXPECT_EQ(log->document()->blockCount(), 4);
    EXPECT_EQ(log->document()->findBlockByNumber(1).text(), QString());

    dialog.SetDlgItemText(kIdLogView, "");
    EXPECT_EQ(dialog.GetDlgItemText(kIdLogView), "");
    dialog.SetDlgItemText(kIdLogView, "before\0after"s);
    EXPECT_EQ(dialog.GetDlgItemText(kIdLogView), "before");
}

TEST(TemplateDialog, SingleLineTextIsLatin1UpToTheFirstZero) {
    TemplateDialog dialog(kTerminalTemplate);
    dialog.SetDlgItemText(kIdLineEdit1, "ab\0cd"s);
    EXPECT_EQ(dialog.GetDlgItemText(kIdLineEdit1), "ab");
    dialog.SetDlgItemText(kIdSettingsEdit, "\xE9t\xE9");
    EXPECT_EQ(static_cast<QLineEdit*>(QtControl(dialog, kIdSettingsEdit))->text(),
              QStringLiteral("\u00E9t\u00E9"));
    static_cast<QLineEdit*>(QtControl(dialog, kIdLineEdit2))->setText(QStringLiteral("5\u20AC"));
    EXPECT_EQ(dialog.GetDlgItemText(kIdLineEdit2), "5?");
    EXPECT_EQ(dialog.GetDlgItemText(4242), "");
}

TEST(TemplateDialog, SingleLineTextIsNeverCutShort) {
    TemplateDialog dialog(kTerminalTemplate);
    // 10000 bytes in Dec: far beyond Qt's default limit for a line edit.
    std::string text = "000";
    for (int i = 1; i < 10000; ++i) {
        text += ",255";
    }
    dialog.SetDlgItemText(kIdLineEdit3, text);
    EXPECT_EQ(dialog.GetDlgItemText(kIdLineEdit3), text);
}

TEST(TemplateDialog, ComboBoxesStartEmptyAndGetTheirEntriesFromInitialisation) {
    RecordingDialog dialog;
    auto* combo = qobject_cast<QComboBox*>(QtControl(dialog, kIdLineFormat1));
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isEditable());
    EXPECT_EQ(combo->insertPolicy(), QComboBox::NoInsert);
    EXPECT_EQ(dialog.ComboGetCount(kIdLineFormat1), 0);

    dialog.OnInitDialog();
    for (const SendLineControls& line : kSendLines) {
        ASSERT_EQ(dialog.ComboGetCount(line.format), 3) << line.format;
        EXPECT_EQ(dialog.ComboGetLBText(line.format, 0), "Text");
        EXPECT_EQ(dialog.ComboGetLBText(line.format, 1), "Dec");
        EXPECT_EQ(dialog.ComboGetLBText(line.format, 2), "Hex");
        EXPECT_EQ(dialog.ComboGetCurSel(line.format), -1);
        EXPECT_EQ(dialog.GetDlgItemText(line.format), "");
    }
    EXPECT_EQ(dialog.ComboGetCount(kIdLogFormat), 3);
    EXPECT_EQ(dialog.ComboGetLBText(kIdLogFormat, 3), "");
    // A second initialisation, as a new window would have, does not add them twice.
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.ComboGetCount(kIdLogFormat), 3);
}

TEST(TemplateDialog, ProgramSelectionRaisesNoChangeButTheUsersChoiceDoes) {
    RecordingDialog dialog;
    dialog.OnInitDialog();
    int changes = 0;
    dialog.BindSelChange(kIdLogFormat, [&changes] { ++changes; });

    struct Row {
        int index;
        int result;
        std::string text;
    };
    const Row rows[] = {{2, 2, "Hex"}, {0, 0, "Text"}, {3, -1, ""}, {1, 1, "Dec"}, {-1, -1, ""}};
    for (const Row& row : rows) {
        EXPECT_EQ(dialog.ComboSetCurSel(kIdLogFormat, row.index), row.result) << row.index;
        EXPECT_EQ(dialog.ComboGetCurSel(kIdLogFormat), row.result) << row.index;
        EXPECT_EQ(dialog.GetDlgItemText(kIdLogFormat), row.text) << row.index;
    }
    EXPECT_EQ(changes, 0);

    dialog.ComboSetCurSel(kIdLogFormat, 0);
    QTest::keyClick(QtControl(dialog, kIdLogFormat), Qt::Key_Down);
    EXPECT_EQ(dialog.ComboGetCurSel(kIdLogFormat), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dialog.ComboSetCurSel(kIdLineEdit1, 0), -1);  // not a combo box
}

TEST(TemplateDialog, AddedEntrySelectsNothingAndKeepsTypedText) {
    TemplateDialog dialog(kTerminalTemplate);
    dialog.SetDlgItemText(kIdLineFormat2, "typed");
    EXPECT_EQ(dialog.ComboAddString(kIdLineFormat2, "Text"), 0);
    EXPECT_EQ(dialog.ComboAddString(kIdLineFormat2, "Dec"), 1);
    EXPECT_EQ(dialog.ComboGetCurSel(kIdLineFormat2), -1);
    EXPECT_EQ(dialog.GetDlgItemText(kIdLineFormat2), "typed");
    dialog.ComboSetCurSel(kIdLineFormat2, 1);
    EXPECT_EQ(dialog.ComboAddString(kIdLineFormat2, "Hex"), 2);
    EXPECT_EQ(dialog.ComboGetCurSel(kIdLineFormat2), 1);
    EXPECT_EQ(dialog.ComboAddString(kIdOk, "x"), -1);
}

TEST(TemplateDialog, DigitsOnlyFieldRefusesOtherTypedCharacters) {
    TemplateDialog dialog(kPortSelectTemplate);
    auto* edit = static_cast<QLineEdit*>(QtControl(dialog, kIdPortNumberEdit));
    QTest::keyClicks(edit, "a1 -2+x3");
    EXPECT_EQ(edit->text(), QStringLiteral("123"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    dialog.SetDlgItemText(kIdPortNumberEdit, " 7 ");  // the program may put in anything
    EXPECT_EQ(dialog.GetDlgItemText(kIdPortNumberEdit), " 7 ");
}

TEST(TemplateDialog, AboutTemplateShowsIconAndTextWithoutFocus) {
    TemplateDialog dialog(kAboutBoxTemplate);
    EXPECT_EQ(QtWindow(dialog).windowTitle(), QStringLiteral("About Quenlark"));
    const QList<QLabel*> labels = QtWindow(dialog).findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    bool sawIcon = false;
    bool sawText = false;
    for (QLabel* label : labels) {
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        if (!label->pixmap().isNull()) {
            sawIcon = true;
            EXPECT_EQ(label->size(), QSize(32, 32));
            const PixelRect rect = DialogRectToPixels({11, 17, 20, 20}, QtBaseUnits(dialog));
            EXPECT_EQ(label->pos(), QPoint(rect.x, rect.y));
        } else {
            sawText = true;
            EXPECT_EQ(label->text(), QStringLiteral("Quenlark Version 1.0"));
        }
    }
    EXPECT_TRUE(sawIcon);
    EXPECT_TRUE(sawText);
}

}  // namespace
