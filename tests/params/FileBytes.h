#pragma once

#include "params/TextModeReader.h"

#include <string>
#include <vector>

// Whole files as byte strings, for setting up and checking the parameters file exactly.

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// Creates or truncates the file and writes `bytes`; throws when that fails.
void WriteFileBytes(const std::string& path, const std::string& bytes);

// The names in `folder`, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// Gives `bytes` as reading a file of them does: as many as each read asks for, then 0.
TextModeReader::ReadBytes BytesAsFile(std::string bytes);

// The one entry of `folder` besides `known`; empty when there is none or more than one.
std::string OtherEntry(const std::string& folder, const std::string& known);
