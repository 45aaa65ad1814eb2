#pragma once

#include "app/CAboutBox.h"
#include "res/DialogIds.h"
#include "support/WindowTestDriver.h"
#include "ui/TemplateDialog.h"

#include <string>

// Closes every About box that runs modally while it exists, with its OK button, noting what
// it found.
class AboutBoxCloser {
public:
    explicit AboutBoxCloser(const TemplateDialog& portSelect)
        : m_poll([this, &portSelect] {
              auto* about = dynamic_cast<CAboutBox*>(InnermostModalDialog());
              if (about == nullptr || !IsShown(*about)) {
                  return;
              }
              ++opened;
              portSelectEnabled = TakesInput(portSelect);
              caption = Caption(*about);
              Click(*about, kIdOk);
          }) {}

    int opened = 0;
    bool portSelectEnabled = true;
    std::string caption;

private:
    EventLoopPoll m_poll;
};
