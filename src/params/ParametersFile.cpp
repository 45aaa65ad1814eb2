#include "params/ParametersFile.h"

#include "codec/LeadingNumber.h"
#include "params/InputFile.h"
#include "params/TextModeReader.h"
#include "params/TextModeWriter.h"

#include <algorithm>
#include <string_view>

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
    InputFile file;
    if (!file.Open(path)) {
        return std::nullopt;
    }

    LoadedSendLines lines;
    TextModeReader reader(
        [&file](char* buffer, std::size_t size) { return file.Read(buffer, size); });
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
    return lines;
}

bool SaveParametersFile(const std::string& path, const SendLinesToSave& lines,
                        const ReplacementFile::BeforeReplace& beforeReplace) {
    ReplacementFile file;
    if (!file.Open(path)) {
        return false;
    }
    TextModeWriter writer([&file](std::string_view bytes) { return file.Write(bytes); });
    for (const SendLineToSave& sendLine : lines) {
        writer.WriteString(std::to_string(sendLine.selectedFormat));
        writer.WriteString("\n");
        writer.WriteString(UpToZero(sendLine.text));
        writer.WriteString("\n");
    }
    return writer.Flush() && file.Commit(beforeReplace);
}
