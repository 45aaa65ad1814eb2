#include "FileBytes.h"
#include "Require.h"
#include "params/ParametersFile.h"
#include "params/ParametersFilePath.h"
#include "params/TextModeReader.h"
#include "support/TemporaryFolder.h"
#include "support/WorkingDirectory.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kLineLimit = TextModeReader::kMaxLineLength;
// Room for one line beyond the limit and a few of the reader's 4096-byte pieces around it.
constexpr std::size_t kMaxFileBytes = kLineLimit + 4 * 4096;
constexpr std::size_t kRunUnit = 16;

// In the input, 0xFF and a count k stand for k x 16 more copies of the byte before them
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

// Text mode: 0x1A ends the file, LF ends a line and takes a CR right before it along; a line
// keeps its first kLineLimit characters and a last line without a line end counts.
std::vector<std::string> ModelLines(std::string_view file) {
    file = file.substr(0, file.find('\x1a'));
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < file.size();) {
        const std::size_t end = std::min(file.find('\n', start), file.size());
        std::string_view line = file.substr(start, end - start);
        if (end < file.size() && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line.substr(0, kLineLimit));
        start = end + 1;
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

// The input, expanded, is the file in a folder that is the current directory for this input
// only (libFuzzer's own paths stay valid).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TemporaryFolder folder;
    const WorkingDirectory inFolder(folder.Path());
    const std::string path = ParametersFilePath();
    Require(path == std::filesystem::canonical(folder.Path()) / kParametersFileName,
            "the file is in the working folder");
    const std::string file = Expand({reinterpret_cast<const char*>(data), size});
    WriteFileBytes(path, file);

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
    Require(SaveParametersFile(path, saved) && ReadFileBytes(path) == savedBytes, "saved bytes");
    Require(LoadParametersFile(path) == expected, "a save loads back as saved");
    return 0;
}
