#pragma once

#include "res/DialogIds.h"
#include "res/TerminalTemplate.h"
#include "support/WindowTestDriver.h"
#include "ui/TemplateDialog.h"

#include <functional>
#include <string>
#include <vector>

// A dialog that notes which of its framework operations ran, and in which order.
class RecordingDialog : public TemplateDialog {
public:
    explicit RecordingDialog(const DialogTemplate& dialogTemplate = kTerminalTemplate,
                             TemplateDialog* pParent = nullptr)
        : TemplateDialog(dialogTemplate, pParent) {}

    bool OnInitDialog() override {
        calls.push_back("OnInitDialog");
        TemplateDialog::OnInitDialog();
        if (onInit) {
            onInit();
        }
        return initReturns;
    }
    void OnOK() override {
        calls.push_back("OnOK");
        TemplateDialog::OnOK();
    }
    void OnCancel() override {
        calls.push_back("OnCancel");
        TemplateDialog::OnCancel();
    }
    bool DoDataExchange(bool saveAndValidate) override {
        calls.push_back(saveAndValidate ? "save" : "load");
        return !saveAndValidate || exchangeSucceeds;
    }
    void OnTimer(unsigned nIDEvent) override {
        ticks.push_back(nIDEvent);
        if (onTimer) {
            onTimer(nIDEvent);
        }
    }
    void OnChar(unsigned nChar, unsigned nRepCnt, unsigned) override {
        chars.push_back(nChar);
        repeatCounts.push_back(nRepCnt);
    }
    void OnSysCommand(unsigned nID, long lParam) override {
        commands.push_back(nID);
        TemplateDialog::OnSysCommand(nID, lParam);
    }

    using TemplateDialog::BindClicked;
    using TemplateDialog::BindSelChange;

    std::vector<std::string> calls;
    std::vector<unsigned> ticks;
    std::vector<unsigned> chars;
    std::vector<unsigned> repeatCounts;
    std::vector<unsigned> commands;
    bool initReturns = true;
    bool exchangeSucceeds = true;
    std::function<void()> onInit;
    std::function<void(unsigned)> onTimer;
};

// Runs the dialog modally with step running inside its modal loop; returns DoModal's result.
inline int RunModal(TemplateDialog& dialog, std::function<void()> step) {
    OnNextModalWindow(std::move(step));
    return dialog.DoModal();
}

// Runs `check` inside the dialog's modal run, then ends it: on some platforms the window and
// its controls exist only then.
inline void InRun(TemplateDialog& dialog, const std::function<void()>& check) {
    ModalHangGuard guard;
    RunModal(dialog, [&] {
        check();
        dialog.EndDialog(kIdCancel);
    });
}
