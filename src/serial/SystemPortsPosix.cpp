#include "serial/PortNumbering.h"
#include "serial/PortPath.h"
#include "serial/SystemPorts.h"

namespace {
const std::filesystem::path kRoot = "/";
}  // namespace

std::vector<std::string> AssignSystemPortNumbers() {
    return AssignPortNumbers(kRoot, PortsFolder());
}

PortListing ListSystemPorts() {
    return ListPorts(kRoot, PortsFolder());
}
