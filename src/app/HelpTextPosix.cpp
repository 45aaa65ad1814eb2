#include "app/HelpText.h"

// For a terminal's fixed-width font, in 80 columns.
const std::string_view kHelpText =
    "Opens the port-selection window of the serial-port terminal Quenlark: type a port number\n"
    "and press Start to watch what that port receives and send lines to it.\n"
    "\n"
    "  -h, --help          show this help and exit\n"
    "  -V, --version       show the version and exit\n"
    "  -l, --list-ports    list the ports and exit: number (- for none), device, what it\n"
    "                      is, and the link's target or why it has no number\n"
    "      --capture FILE  append every byte each terminal window receives to FILE\n"
    "\n"
    "Port n is the link com<n> in $XDG_CONFIG_HOME/quenlark/ports/ (~/.config by default)\n"
    "when there is one, else /dev/ttyS<n-1>. A serial device gets such a link, the lowest\n"
    "free number, the first time it is seen: to its serial number, else its USB socket,\n"
    "else its kernel name for a board UART. See quenlark(1).\n";

bool IsSystemHelpOption(std::string_view) {
    return false;
}
