#include "params/ParametersFile.h"

#include "codec/LeadingNumber.h"
#include "params/TextModeReader.h"
#include "params/TextModeWriter.h"

#include <algorithm>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kLowestFormat = 0;
constexpr int kHighestFormat = 2;

// A format line read as atoi reads it, then brought into the range of formats. A number too
// large for an int counts as the largest, so no length of digits wraps round to another format.
int FormatFromLine(std::string_view line) {
    return std::clamp(ReadLeadingNumber(line).saturated, kLowestFormat, kHighestFormat);
}

// The edit field holds zero-terminated text, so its text ends at the first zero byte.
std::string_view UpToZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

std::optional<LoadedSendLines> LoadParametersFile(const std::string& path) {
    // Non-blocking, so that a pipe put in the file's place cannot hang the window; it is then
    // turned away as no regular file, as are folders and devices.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return std::nullopt;
    }

    LoadedSendLines lines;
    TextModeReader reader(fd);
    std::string line;
    int format = kLowestFormat;
    for (LoadedSendLine& sendLine : lines) {
        if (reader.ReadString(line)) {
            format = FormatFromLine(line);
        }
        sendLine.format = format;
        if (reader.ReadString(line)) {
            sendLine.text = std::string(UpToZero(line));
        }
    }
    close(fd);
    return lines;
}

bool SaveParametersFile(const std::string& path, const SendLinesToSave& lines,
                        const ReplacementFile::BeforeReplace& beforeReplace) {
    ReplacementFile file;
    if (!file.Open(path)) {
        return false;
    }
    TextModeWriter writer(file.Descriptor());
    for (const SendLineToSave& sendLine : lines) {
        writer.WriteString(std::to_string(sendLine.selectedFormat));
        writer.WriteString("\n");
        writer.WriteString(UpToZero(sendLine.text));
        writer.WriteString("\n");
    }
    return writer.Flush() && file.Commit(beforeReplace);
}
