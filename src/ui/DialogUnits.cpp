#include "ui/DialogUnits.h"

namespace {

constexpr int kLettersMeasured = 52;
constexpr int kUnitsPerBaseWidth = 4;
constexpr int kUnitsPerBaseHeight = 8;

// value * numerator / denominator, rounded to the nearest integer, halves away from zero.
int MultiplyDivideRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    const long long rounded =
        product >= 0 ? (product + half) / denominator : (product - half) / denominator;
    return static_cast<int>(rounded);
}

}  // namespace

DialogBaseUnits DialogBaseUnitsFromFont(int alphabetWidth, int fontHeight) {
    return {MultiplyDivideRounded(alphabetWidth, 1, kLettersMeasured), fontHeight};
}

int DialogUnitsToPixelsX(int units, DialogBaseUnits base) {
    return MultiplyDivideRounded(units, base.cx, kUnitsPerBaseWidth);
}

int DialogUnitsToPixelsY(int units, DialogBaseUnits base) {
    return MultiplyDivideRounded(units, base.cy, kUnitsPerBaseHeight);
}

PixelRect DialogRectToPixels(DialogRect rect, DialogBaseUnits base) {
    return {DialogUnitsToPixelsX(rect.x, base), DialogUnitsToPixelsY(rect.y, base),
            DialogUnitsToPixelsX(rect.cx, base), DialogUnitsToPixelsY(rect.cy, base)};
}
