#pragma once

#include "res/DialogTemplate.h"

// The dialog base units of a font, in pixels: four dialog units across make its base width,
// eight down make its base height.
struct DialogBaseUnits {
    int cx;
    int cy;
};

struct PixelRect {
    int x;
    int y;
    int width;
    int height;
};

// alphabetWidth: the width of the 52 letters "A" to "Z" and "a" to "z" written in a row;
// fontHeight: the font's height. The base width is the letters' average width, rounded to
// the nearest pixel; the base height is the font's height.
DialogBaseUnits DialogBaseUnitsFromFont(int alphabetWidth, int fontHeight);

// Dialog units to pixels, rounded to the nearest pixel (halves away from zero).
int DialogUnitsToPixelsX(int units, DialogBaseUnits base);
int DialogUnitsToPixelsY(int units, DialogBaseUnits base);
PixelRect DialogRectToPixels(DialogRect rect, DialogBaseUnits base);
