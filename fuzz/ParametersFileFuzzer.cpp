#include "Require.h"
#include "params/ParametersFile.h"
#include "params/ParametersFilePath.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kLineLimit = 64 * 1024;
constexpr std::size_t kMaxFileBytes = 3 * kLineLimit;
constexpr std::size_t kRunUnit = 256;

// A fresh folder made the current directory for the whole run, removed at its end. In memory
// where that is possible: the save's fsync calls then cost nothing.
struct WorkingFolder {
    WorkingFolder() {
        const bool inMemory = std::filesystem::is_directory("/dev/shm");
        path = ((inMemory ? "/dev/shm" : std::filesystem::temp_directory_path()) /
                "quenlark-fuzz-XXXXXX")
                   .string();
        Require(mkdtemp(path.data()) != nullptr && chdir(path.c_str()) == 0, "working folder");
    }
    ~WorkingFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::string path;
};

// In the input, 0xFF and a count k stand for k x 256 more copies of the byte before them
// (k = 0: 0xFF itself), so that lines beyond the limit come within reach of small inputs.
std::string Expand(std::string_view input) {
    std::string file;
    for (std::size_t i = 0; i < input.size() && file.size() < kMaxFileBytes; ++i) {
        if (input[i] != '\xff' || i + 1 == input.size() || file.empty()) {
            file += input[i];
        } else if (const auto k = static_cast<std::uint8_t>(input[++i]); k == 0) {
            file += '\xff';
        } else {
            file.append(std::min(k * kRunUnit, kMaxFileBytes - file.size()), file.back());
        }
    }
    return file;
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Text mode: 0x1A ends the file, CR LF is a line end as LF is, any other CR is a character; a
// line keeps its first kLineLimit characters and a last line without a line end counts.
std::vector<std::string> ModelLines(std::string_view file) {
    file = file.substr(0, file.find('\x1a'));
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\n') {
            lines.push_back(std::move(line));
            line.clear();
        } else if (file.substr(i, 2) != "\r\n" && line.size() < kLineLimit) {
            line.push_back(file[i]);
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

// Ten lines at most: atoi, clamped, carried over to send lines past the end; texts up to a zero.
LoadedSendLines ModelLoad(const std::vector<std::string>& lines) {
    LoadedSendLines loaded;
    std::size_t next = 0;
    int format = 0;
    for (LoadedSendLine& sendLine : loaded) {
        if (next < lines.size()) {
            format = static_cast<int>(
                std::clamp(std::strtoll(lines[next++].c_str(), nullptr, 10), 0LL, 2LL));
        }
        sendLine.format = format;
        if (next < lines.size()) {
            sendLine.text = lines[next].substr(0, lines[next].find('\0'));
            ++next;
        }
    }
    return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const WorkingFolder folder;
    static const std::string path = ParametersFilePath();
    Require(path == folder.path + "/VwData.dat", "the file is in the working folder");
    const std::string file = Expand({reinterpret_cast<const char*>(data), size});
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Require(fd >= 0 && write(fd, file.data(), file.size()) == static_cast<ssize_t>(file.size()) &&
                close(fd) == 0,
            "the fuzzed file is written");

    const std::optional<LoadedSendLines> loaded = LoadParametersFile(path);
    Require(loaded == ModelLoad(ModelLines(file)), "loaded send lines");

    SendLinesToSave saved;
    std::string savedBytes;
    LoadedSendLines expected = *loaded;
    for (std::size_t k = 0; k < saved.size(); ++k) {
        saved[k] = {expected[k].format, expected[k].text.value_or("")};
        expected[k].text = saved[k].text;
        savedBytes += std::to_string(saved[k].selectedFormat) + "\r\n" + saved[k].text + "\r\n";
    }
    Require(SaveParametersFile(path, saved) && FileBytes(path) == savedBytes, "saved bytes");
    Require(LoadParametersFile(path) == expected, "a save loads back as saved");
    return 0;
}
