#pragma once

#include "app/CPortSelectDlg.h"
#include "app/TerminalWindow.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "res/TerminalTemplate.h"
#include "support/MessageBoxObserver.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/QtControls.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

// What one terminal window saw while it ran.
struct TerminalRun {
    std::uint8_t port;
    bool ranModally;
    bool portSelectEnabled;
    std::string portSelectText;
    std::size_t messagesBefore;  // message boxes shown before it opened
    int destroyedBefore;         // terminal windows destroyed before it was made
};

struct TerminalRuns {
    std::vector<TerminalRun> runs;
    int made = 0;
    int destroyed = 0;
};

// Stands in for the terminal window: built on its template, it notes what it was given and
// what it found, tries to start a second one from the port-selection window, and closes.
class FakeTerminalDlg : public TemplateDialog {
public:
    FakeTerminalDlg(TerminalRuns& record, CPortSelectDlg& portSelect,
                    const MessageBoxObserver& observer)
        : TemplateDialog(kTerminalTemplate),
          m_record(record),
          m_portSelect(portSelect),
          m_observer(observer),
          m_destroyedBefore(record.destroyed) {
        ++m_record.made;
    }
    ~FakeTerminalDlg() override { ++m_record.destroyed; }

    bool OnInitDialog() override {
        TemplateDialog::OnInitDialog();
        QTimer::singleShot(0, &QtWindow(*this), [this] {
            m_record.runs.push_back(
                {m_byPort, QApplication::activeModalWidget() == &QtWindow(*this),
                 QtWindow(m_portSelect).isEnabled(), m_portSelect.GetDlgItemText(kIdPortNumberEdit),
                 m_observer.Shown().size(), m_destroyedBefore});
            // The port-selection window takes no input meanwhile.
            QTest::mouseClick(QtControl(m_portSelect, kIdStartButton), Qt::LeftButton);
            EndDialog(kIdOk);
        });
        return true;
    }

    std::uint8_t m_byPort = 0xEE;

private:
    TerminalRuns& m_record;
    CPortSelectDlg& m_portSelect;
    const MessageBoxObserver& m_observer;
    int m_destroyedBefore;
};
