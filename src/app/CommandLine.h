#pragma once

#include <iosfwd>
#include <optional>
#include <string>

// What the program does before it makes a window: --help, --version and --list-ports print
// and end the program, --capture FILE is kept for the windows of the run, any other argument
// is refused. Needs no display.
constexpr int kExitSuccess = 0;
// The help, version or port list could not be written, or the ports could not be read.
constexpr int kExitFailure = 1;
// Wrong use of the command line, as getopt-style programs report it.
constexpr int kExitUsage = 2;

// What the command line asks of the windows of a run.
struct RunOptions {
    // Every terminal window appends what its port receives to this file; empty for none.
    std::string captureFile;
};

// Reads the command line (argv[0] is the program). Returns the exit status when the program
// ends here, after writing the help, version or port list to `out` (and what went wrong with
// the ports, a line each, to `err`), or a one-line error and the usage to `err`; nullopt when
// the windows may open, with what they are to do in `options`.
std::optional<int> HandleCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err, RunOptions& options);
