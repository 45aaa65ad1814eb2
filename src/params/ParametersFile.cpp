#include "params/ParametersFile.h"

#include "params/TextModeReader.h"
#include "params/TextModeWriter.h"

#include <climits>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kLowestFormat = 0;
constexpr int kHighestFormat = 2;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A format line read as atoi reads it (blanks, a sign, digits up to anything else, no digits
// giving 0), then brought into the range of formats. A number too large for an int counts as
// the largest, so no length of digits wraps round to another format.
int FormatFromLine(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) {
        ++i;
    }
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    long long number = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        if (number <= INT_MAX) {
            number = number * 10 + (line[i] - '0');
        }
    }
    if (negative) {
        number = -number;
    }
    return number > kHighestFormat
               ? kHighestFormat
               : (number < kLowestFormat ? kLowestFormat : static_cast<int>(number));
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
