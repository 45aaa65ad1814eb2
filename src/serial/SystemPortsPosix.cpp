#include "serial/PortNumbering.h"
#include "serial/PortPath.h"
#include "serial/SystemPorts.h"

#include <unistd.h>

std::vector<std::string> AssignSystemPortNumbers() {
    return AssignPortNumbers(kSystemRoot, PortsFolder(), ::geteuid());
}

PortListing ListSystemPorts() {
    return ListPorts(kSystemRoot, PortsFolder(), ::geteuid());
}
