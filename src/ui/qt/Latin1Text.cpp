#include "ui/qt/Latin1Text.h"

#include <QList>

namespace {
constexpr char32_t kLastLatin1 = 0xFF;
constexpr char kNoSuchCharacter = '?';
}  // namespace

std::string ToLatin1Text(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    // By code point, so that a character outside the basic plane is one '?', not two.
    for (const char32_t c : text.toUcs4()) {
        bytes.push_back(c <= kLastLatin1 ? static_cast<char>(c) : kNoSuchCharacter);
    }
    return bytes;
}

QString FromLatin1Text(std::string_view text) {
    const std::size_t end = text.find('\0');
    if (end != std::string_view::npos) {
        text = text.substr(0, end);
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
