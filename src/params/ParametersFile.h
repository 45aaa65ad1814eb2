#pragma once

#include "params/LoadedSendLine.h"
#include "params/ReplacementFile.h"
#include "params/SendLineToSave.h"

#include <array>
#include <optional>
#include <string>

// The parameters file keeps the terminal window's send lines, in order, between its uses: for
// each a format line (the selector's entry, "%d") and a text line (the edit field's text),
// every line ending in CR LF.

inline constexpr int kParametersSendLineCount = 5;

using LoadedSendLines = std::array<LoadedSendLine, kParametersSendLineCount>;
using SendLinesToSave = std::array<SendLineToSave, kParametersSendLineCount>;

// Shown, in UTF-8, when the file cannot be opened for loading or cannot be saved.
inline constexpr char kParametersOpenFailedMessage[] = "Неудалось открыть файл параметров";
inline constexpr char kParametersCreateFailedMessage[] = "Неудалось создать файл параметров";

// Reads the file at `path`: no value when it cannot be opened (missing, unreadable, or no
// regular file), and the send lines must then stay as they are. Any content loads: format lines
// are read as atoi reads them and brought into 0..2, a send line past the end of the file gets
// the last format read (0 if none) and no text, and lines after the tenth are never read. A
// read error counts as the end of the file.
std::optional<LoadedSendLines> LoadParametersFile(const std::string& path);

// Writes `lines` to the file at `path`, replacing it whole in one step. False when the file
// may not be written, its folder takes no new file, or anything fails on the way; the file then
// keeps its old bytes. A symbolic link is written through to the file it names. `beforeReplace`
// runs once the new content is complete on disk, right before it replaces the file (the
// moment a crash would be worst); returning false abandons the save. The window passes none.
bool SaveParametersFile(const std::string& path, const SendLinesToSave& lines,
                        const ReplacementFile::BeforeReplace& beforeReplace = {});
