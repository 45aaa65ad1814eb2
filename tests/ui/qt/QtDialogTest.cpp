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
#include <QFrame>
#include <QLabel>
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
         {std::pair{kIdSendButton1, "QPushButton"}, std::pair{kIdLogView, "QFrame"},
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
    QtWindow(dialog).show();
    auto& log = *static_cast<LogView*>(QtControl(dialog, kIdLogView));
    const std::string line(400, 'x');
    dialog.SetDlgItemText(kIdLogView, line);
    log.setFocus();
    for (const auto key : {Qt::Key_A, Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return}) {
        QTest::keyClick(&log, key);
    }
    EXPECT_EQ(dialog.GetDlgItemText(kIdLogView), line);
    // One line, scrolled across.
    EXPECT_EQ(log.VerticalScrollBar()->maximum(), 0);
    EXPECT_GT(log.HorizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(log.VerticalScrollBar()->isVisible());
    EXPECT_TRUE(log.HorizontalScrollBar()->isVisible());
    // Every character one width, so that the log's columns line up; the font's own flag says
    // less (Noto Sans Mono, for one, reports itself as not fixed-pitch).
    const QFontMetrics metrics(log.font());
    for (const char c : {'i', 'W', '0', ' ', '.'}) {
        EXPECT_EQ(metrics.horizontalAdvance(QChar(c)), metrics.horizontalAdvance(QChar('M'))) << c;
    }
    EXPECT_EQ(log.font().pointSize(), kTerminalTemplate.pointSize);

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
