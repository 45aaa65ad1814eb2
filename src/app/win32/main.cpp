#include "app/ApplicationMain.h"
#include "app/CommandLine.h"
#include "app/PortListText.h"
#include "ui/MessageBoxes.h"
#include "win32/WideText.h"

#include <sstream>
#include <string>
#include <vector>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace {

// The program's arguments, argv[0] first, in UTF-8 as the program names files.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int index = 0; wide != nullptr && index < count; ++index) {
        arguments.push_back(Utf8FromWide(wide[index]));
    }
    LocalFree(wide);
    return arguments;
}

}  // namespace

// A program of the GUI subsystem: no console window; the system starts it here.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> arguments = Arguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    RunOptions options;
    if (const std::optional<int> status =
            HandleCommandLine(static_cast<int>(argv.size()), argv.data(), out, err, options)) {
        // There is no console: what a console program would print is shown in a box, a
        // mistake's as a warning. Only a port list can be empty, and an empty box says nothing.
        const std::string text = out.str() + err.str();
        if (*status == kExitUsage) {
            ShowAppMessageBox(text);
        } else {
            ShowAppInformationBox(text.empty() ? PortListToolTip({}) : text);
        }
        return *status;
    }
    return RunApplication(options);
}
