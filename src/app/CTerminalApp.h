#pragma once

#include <string>

// The application: its life is the port-selection window's modal run.
class CTerminalApp {
public:
    // Runs the port-selection window until it closes, then returns false, so that the
    // program ends: closing that window in any way ends the program.
    bool InitInstance();

    // The file every terminal window of the run captures into; empty for none.
    std::string m_strCaptureFile;
};
