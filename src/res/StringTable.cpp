#include "res/StringTable.h"

namespace {

struct StringResource {
    int id;
    std::string_view text;
};

constexpr StringResource kStrings[] = {
    {kIdsAboutBox, "&About Quenlark..."},
};

}  // namespace

std::string_view LoadStringResource(int id) {
    for (const StringResource& string : kStrings) {
        if (string.id == id) {
            return string.text;
        }
    }
    return {};
}
