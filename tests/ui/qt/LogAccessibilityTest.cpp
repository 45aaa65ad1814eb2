#include "res/TerminalTemplate.h"
#include "support/WindowTestDriver.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/QtControls.h"

#include <QCoreApplication>
#include <QDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

// A screen reader's client on the session's accessibility bus reads the log of a window that
// does not have the focus, and hears of the text a tick adds.
TEST(LogAccessibility, AClientReadsTheLogsTextAndHearsOfWhatATickAdds) {
    TemplateDialog dialog(kTerminalTemplate);
    dialog.SetDlgItemText(kIdLogView, "00  01  \r\n");
    QtWindow(dialog).show();
    QProcess reader;
    reader.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(QUENLARK_LOG_READER), QString::number(QCoreApplication::applicationPid())});
    const auto nextLine = [&reader] {
        EXPECT_TRUE(WaitUntil(
            [&] { return reader.canReadLine() || reader.state() == QProcess::NotRunning; }));
        return reader.readLine().trimmed();
    };
    ASSERT_EQ(nextLine(), "ready");
    ASSERT_TRUE(dialog.AppendDlgItemText(kIdLogView, "02  03  \xE9"));
    const QJsonObject read = QJsonDocument::fromJson(nextLine()).object();
    EXPECT_EQ(read[QStringLiteral("inserted")].toString(), QStringLiteral("02  03  é"));
    EXPECT_EQ(read[QStringLiteral("text")].toString(), QStringLiteral("00  01  \n02  03  é"));
}
