#include "app/CommandLine.h"

#include "app/HelpText.h"
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

enum class Request { Help, Version, ListPorts };

std::optional<Request> KnownOption(std::string_view argument) {
    if (argument == "-h" || argument == "--help" || IsSystemHelpOption(argument)) {
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
        out << kUsage << '\n' << kHelpText;
    } else {
        out << kProgramName << ' ' << QUENLARK_VERSION << '\n';
    }
    out.flush();
    return out ? kExitSuccess : kExitFailure;
}
