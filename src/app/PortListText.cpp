#include "app/PortListText.h"

namespace {
constexpr const char* kNoPorts = "No serial ports found";
constexpr const char* kEmptyField = "-";

std::string ComName(const ListedPort& port) {
    return port.number == 0 ? kEmptyField : "COM" + std::to_string(port.number);
}

std::string Field(const std::string& text) {
    return text.empty() ? kEmptyField : text;
}
}  // namespace

std::string PortListToolTip(const std::vector<ListedPort>& ports) {
    std::string text;
    for (const ListedPort& port : ports) {
        std::string what;
        if (port.number == 0) {
            // Its kernel name tells it from another of its model.
            what = port.device + (port.description.empty() ? "" : ", " + port.description) + " (" +
                   port.reason + ")";
        } else if (!port.device.empty()) {
            what = port.description.empty() ? port.device : port.description;
        } else {
            continue;
        }
        text += (text.empty() ? "" : "\n") + ComName(port) + ": " + what;
    }
    return text.empty() ? kNoPorts : text;
}

std::string PortListLine(const ListedPort& port) {
    return ComName(port) + '\t' + Field(port.device) + '\t' + Field(port.description) + '\t' +
           Field(port.number == 0 ? port.reason : port.linkTarget);
}
