#pragma once

#include <string>

// The parameters file's name; the file lives in the current directory.
inline constexpr char kParametersFileName[] = "VwData.dat";

// The parameters file for this moment: the process's current directory, whatever its length,
// joined with the file's name by the system's path separator. Empty when the current directory
// cannot be found out (it was removed, or a folder above it may not be searched); an empty path
// opens nothing, so the load and the save then fail with their messages.
std::string ParametersFilePath();
