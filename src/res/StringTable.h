#pragma once

#include <string_view>

// The text of the port-selection window's menu item that opens the About box; the ampersand
// marks its access key.
constexpr int kIdsAboutBox = 101;

// The string resource with this identifier; empty when there is none.
std::string_view LoadStringResource(int id);
