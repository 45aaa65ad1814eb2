#include "ui/qt/Latin1Text.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(ToLatin1Text, OneByteACharacterAndQuestionMarkAboveFF) {
    struct Row {
        QString text;
        std::string bytes;
    };
    const Row rows[] = {
        {QString(), ""},
        {QStringLiteral("9600, N, 8, 1"), "9600, N, 8, 1"},
        {QString(QChar(0xE9)) + QStringLiteral("t") + QChar(0xE9), "\xE9t\xE9"},
        {QString(QChar(0xFF)), "\xFF"},
        {QString(QChar(0x100)), "?"},
        {QString(QChar(0x20AC)) + QStringLiteral("5"), "?5"},
        {QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("x"), "?x"},  // one ? a character
        {QString(QChar(0x0410)) + QChar(0x0411), "??"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ToLatin1Text(row.text), row.bytes) << row.text.toStdString();
    }
}

TEST(FromLatin1Text, EndsAtTheFirstZeroByte) {
    EXPECT_EQ(FromLatin1Text("ab\0cd"s), QStringLiteral("ab"));
    EXPECT_EQ(FromLatin1Text("\0x"s), QString());
    EXPECT_EQ(FromLatin1Text(""), QString());
    EXPECT_EQ(FromLatin1Text("\xE9"), QString(QChar(0xE9)));
}

TEST(Latin1Text, EveryNonZeroByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b <= 0xFF; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const QString text = FromLatin1Text(all);
    EXPECT_EQ(text.size(), 255);
    EXPECT_EQ(ToLatin1Text(text), all);
}

}  // namespace
