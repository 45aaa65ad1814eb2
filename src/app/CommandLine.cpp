#include "app/CommandLine.h"

#include "app/PortListText.h"
#include "res/ProjectVersion.h"
#include "serial/SystemPorts.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kProgramName = "quenlark";
constexpr std::string_view kUsage =
    "Usage: quenlark [-h | --help] [-V | --version] [-l | --list-ports] [--capture FILE]\n";
constexpr std::string_view kCaptureOption = "--capture";
constexpr std::string_view kHelp =
    "Opens the port-selection window of the serial-port terminal Quenlark: type a port number\n"
    "and press Start to watch what that port receives and send lines to it.\n"
    "\n"
    "  -h, --help          show this help and exit\n"
    "  -V, --version       show the version and exit\n"
    "  -l, --list-ports    list the port numbers that exist and exit: number, device\n"
    "                      (- when absent), what it is, and for a link its target\n"
    "      --capture FILE  append every byte each terminal window receives to FILE\n"
    "\n"
    "Port n is the link com<n> in $XDG_CONFIG_HOME/quenlark/ports/ (~/.config by default)\n"
    "when there is one, else /dev/ttyS<n-1>. A USB adapter gets such a link, the lowest\n"
    "free number, the first time it is seen. See quenlark(1).\n";

enum class Request { Help, Version, ListPorts };

std::optional<Request> KnownOption(std::string_view argument) {
    if (argument == "-h" || argument == "--help") {
        return Request::Help;
    }
    if (argument == "-V" || argument == "--version") {
        return Request::Version;
    }
    if (argument == "-l" || argument == "--list-ports") {
        return Request::ListPorts;
    }
    return std::nullopt;
}

// Numbers the adapters plugged in, as the port-selection window does, then lists.
int ListPorts(std::ostream& out, std::ostream& err) {
    std::vector<std::string> problems = AssignSystemPortNumbers();
    const PortListing listing = ListSystemPorts();
    problems.insert(problems.end(), listing.problems.begin(), listing.problems.end());
    for (const std::string& problem : problems) {
        err << kProgramName << ": " << problem << '\n';
    }
    for (const ListedPort& port : listing.ports) {
        out << PortListLine(port) << '\n';
    }
    out.flush();
    return out && listing.readable ? kExitSuccess : kExitFailure;
}

// The file of "--capture FILE" or "--capture=FILE" at argv[index], moving index past it;
// empty when it is missing. Nothing when the argument is another one.
std::optional<std::string_view> CaptureFileArgument(int argc, const char* const* argv, int& index) {
    const std::string_view argument = argv[index];
    if (argument == kCaptureOption) {
        return index + 1 < argc ? argv[++index] : std::string_view();
    }
    if (argument.starts_with(kCaptureOption) && argument[kCaptureOption.size()] == '=') {
        return argument.substr(kCaptureOption.size() + 1);
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> HandleCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err, RunOptions& options) {
    std::optional<Request> first;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (const std::optional<std::string_view> file = CaptureFileArgument(argc, argv, index)) {
            if (file->empty()) {
                err << kProgramName << ": option '" << kCaptureOption << "' needs a file name\n"
                    << kUsage;
                return kExitUsage;
            }
            options.captureFile = *file;
            continue;
        }
        const std::optional<Request> request = KnownOption(argument);
        if (!request) {
            // The program takes no operands, so anything else is a mistake, reported before
            // any window would open.
            const std::string_view what =
                argument.starts_with('-') ? "unknown option" : "unexpected argument";
            err << kProgramName << ": " << what << " '" << argument << "'\n" << kUsage;
            return kExitUsage;
        }
        first = first.value_or(*request);
    }
    if (!first) {
        return std::nullopt;
    }
    if (*first == Request::ListPorts) {
        return ListPorts(out, err);
    }
    if (*first == Request::Help) {
        out << kUsage << '\n' << kHelp;
    } else {
        out << kProgramName << ' ' << QUENLARK_VERSION << '\n';
    }
    out.flush();
    return out ? kExitSuccess : kExitFailure;
}
