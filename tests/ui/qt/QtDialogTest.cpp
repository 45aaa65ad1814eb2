#include "RecordingDialog.h"
#include "res/AboutBoxTemplate.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "res/TerminalTemplate.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/DialogFont.h"
#include "ui/qt/LogView.h"
#include "ui/qt/QtControls.h"

#include <set>
#include <string>
#include <tuple>
#include <utility>

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

TEST(TemplateDialog, TerminalTemplateGivesEveryControlAtItsRectangle) {
    TemplateDialog dialog(kTerminalTemplate);
    const DialogBaseUnits base = QtBaseUnits(dialog);
    EXPECT_EQ(QtWindow(dialog).size(),
              QSize(DialogUnitsToPixelsX(315, base), DialogUnitsToPixelsY(319, base)));
    EXPECT_EQ(QtWindow(dialog).minimumSize(), QtWindow(dialog).maximumSize());

    for (const ControlTemplate& control : kTerminalTemplate.controls) {
        QWidget* widget = QtControl(dialog, control.id);
        ASSERT_NE(widget, nullptr) << control.id;
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
}

TEST(TemplateDialog, ControlKindsAndDefaultButton) {
    TemplateDialog dialog(kTerminalTemplate);
    for (const auto& [id, kind] :
         {std::pair{kIdSendButton1, "QPushButton"}, std::pair{kIdLogView, "QAbstractScrollArea"},
          std::pair{kIdSettingsEdit, "QLineEdit"}, std::pair{kIdLogFormat, "QComboBox"}}) {
        EXPECT_TRUE(QtControl(dialog, id)->inherits(kind)) << id;
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
    auto* view = dynamic_cast<LogView*>(QtControl(dialog, kIdLogView));
    ASSERT_NE(view, nullptr);
    QPlainTextEdit* log = &view->Editor();
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

TEST(TemplateDialog, LogScrollBarLooksAsTheStylesOwnAfterEveryChange) {
    TemplateDialog dialog(kTerminalTemplate);
    QScrollBar& bar =
        *static_cast<QAbstractScrollArea*>(QtControl(dialog, kIdLogView))->verticalScrollBar();
    QStyle* const logStyle = bar.style();
    // The same slider again elsewhere in the bar, and in another palette.
    for (const auto& [maximum, value, button] : {std::tuple{100, 50, QColor(Qt::lightGray)},
                                                 {100, 0, QColor(Qt::lightGray)},
                                                 {100, 100, QColor(Qt::lightGray)},
                                                 {7, 3, QColor(Qt::lightGray)},
                                                 {7, 3, QColor(Qt::darkCyan)}}) {
        bar.setRange(0, maximum);
        bar.setValue(value);
        bar.setPalette(QPalette(button));
        const QImage drawn = bar.grab().toImage();
        bar.setStyle(nullptr);
        EXPECT_EQ(drawn, bar.grab().toImage()) << maximum << " " << value;
        bar.setStyle(logStyle);
    }
}

TEST(TemplateDialog, LogDrawnByItselfLooksAsItsEditorShowsTheSameText) {
    TemplateDialog dialog(kTerminalTemplate);
    QtWindow(dialog).show();
    auto& log = dynamic_cast<LogView&>(*QtControl(dialog, kIdLogView));
    const QPlainTextEdit& editor = *log.findChild<QPlainTextEdit*>();
    std::string hex;
    std::string latin1;
    for (int i = 0; i < 600; ++i) {
        hex += i % 16 == 15 ? "a5  \r\n" : "a5  ";
    }
    for (int c = ' '; c <= 0xFF; ++c) {
        // Not the control characters, and the soft hyphen is below.
        if (c < 0x7F || (c >= 0xA0 && c != 0xAD)) {
            latin1 += static_cast<char>(c);
        }
    }
    // Drawn by the view, and the tab and the soft hyphen by the editor alone.
    for (const auto& [text, top, left, drawn] : {std::tuple{hex, 0, 0, true},
                                                 {hex, 17, 0, true},
                                                 {latin1 + "\r\n" + hex, 0, 30, true},
                                                 {latin1 + latin1, 0, 0, true},
                                                 {std::string("0"), 0, 0, true},
                                                 {std::string(), 0, 0, true},
                                                 {std::string("a\tb"), 0, 0, false},
                                                 {std::string("a\xAD"), 0, 0, false}}) {
        log.SetText(text);
        log.verticalScrollBar()->setValue(top);
        log.horizontalScrollBar()->setValue(left);
        EXPECT_EQ(editor.isVisible(), !drawn) << text;
        const QImage before = log.grab().toImage();
        log.Editor();
        EXPECT_EQ(editor.verticalScrollBar()->value(), top);
        EXPECT_EQ(editor.horizontalScrollBar()->value(), left);
        EXPECT_EQ(log.grab().toImage(), before) << text;
    }
}

TEST(TemplateDialog, LogHandsAClickAndTheKeysToItsEditorUntilNewBytesComeWithoutTheFocus) {
    TemplateDialog dialog(kTerminalTemplate);
    QtWindow(dialog).show();
    QtWindow(dialog).activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&QtWindow(dialog)));
    auto& log = dynamic_cast<LogView&>(*QtControl(dialog, kIdLogView));
    QPlainTextEdit& editor = *log.findChild<QPlainTextEdit*>();
    log.SetText("00  01  02  03\r\n04  05");
    QTest::mousePress(log.viewport(), Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseMove(log.viewport(), QPoint(80, 8));
    QTest::mouseRelease(log.viewport(), Qt::LeftButton, {}, QPoint(80, 8));
    EXPECT_TRUE(editor.hasFocus());
    EXPECT_EQ(editor.textCursor().selectionStart(), 0);
    EXPECT_GT(editor.textCursor().selectionEnd(), 5);
    log.AppendText("  06");
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("00  01  02  03\n04  05  06"));
    // Backwards out of the editor is the control before the log, not the view again.
    QTest::keyClick(&editor, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), QtControl(dialog, kIdSendButton1));
    log.AppendText("  07");
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(dialog.GetDlgItemText(kIdLogView), "00  01  02  03\r\n04  05  06  07");
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

TEST(TemplateDialogOwner, KeptAboveItsOwnerWithoutBeingItsChild) {
    RecordingDialog owner(kPortSelectTemplate);
    InRun(owner, [&] {
        RecordingDialog inner(kTerminalTemplate, &owner);
        EXPECT_EQ(QtWindow(inner).parentWidget(), nullptr);
        InRun(inner, [&] {
            EXPECT_EQ(QtWindow(inner).windowHandle()->transientParent(),
                      QtWindow(owner).windowHandle());
        });
    });
}

}  // namespace
