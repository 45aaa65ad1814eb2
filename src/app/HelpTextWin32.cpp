#include "app/HelpText.h"

// For a message box: its font is proportional, so nothing stands in columns, and it wraps
// long lines itself.
const std::string_view kHelpText =
    "Opens the port-selection window of the serial-port terminal Quenlark: type the number of "
    "a COM port and press Start to watch what it receives and to send lines to it.\n"
    "\n"
    "The number is the one Windows gives the port. Device Manager lists a USB adapter under "
    "\"Ports (COM & LPT)\" as, for instance, \"USB Serial Port (COM5)\": type 5. Resting the "
    "pointer on the number field lists the ports there are.\n"
    "\n"
    "Options, after quenlark.exe in a shortcut's target or on a command line:\n"
    "--capture FILE: append every byte each terminal window receives to FILE.\n"
    "--list-ports (-l): show the COM ports there are, and end.\n"
    "--version (-V): show the version, and end.\n"
    "--help (-h, /?): show this help, and end.\n"
    "\n"
    "The send lines are kept in VwData.dat in the current folder: for a shortcut, its "
    "\"Start in\" folder.\n";

bool IsSystemHelpOption(std::string_view argument) {
    return argument == "/?";
}
