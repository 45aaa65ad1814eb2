#pragma once

#include <string>
#include <vector>

// Whole files as byte strings, for setting up and checking the parameters file exactly.

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// Creates or truncates the file and writes `bytes`; throws when that fails.
void WriteFileBytes(const std::string& path, const std::string& bytes);

// The names in `folder`, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);
