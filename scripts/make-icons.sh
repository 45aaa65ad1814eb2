#!/usr/bin/env bash
# Makes the desktop's icons (src/res/icons/) from the program's own 16 and 32 pixel icons:
# PNGs scaled by whole factors with nearest-neighbour, so every pixel stays a crisp square,
# and an SVG of the 32 pixel icon with one rectangle per run of equal pixels in a row.
# The results are committed, so the build needs no image converter; run this again only
# when the icon changes. Needs ImageMagick (convert).
set -euo pipefail
cd "$(dirname "$0")/.."

res=src/res
out=$res/icons
mkdir -p "$out"

# size in pixels, the icon it is made from, the factor
scalings=(
  "16 $res/quenlark-16.xpm 1"
  "32 $res/quenlark-32.xpm 1"
  "48 $res/quenlark-16.xpm 3"
  "64 $res/quenlark-32.xpm 2"
  "128 $res/quenlark-32.xpm 4"
  "256 $res/quenlark-32.xpm 8"
)
for scaling in "${scalings[@]}"; do
  read -r size source factor <<<"$scaling"
  # Without dates and comments, so that the same icon gives the same file.
  convert "$source" -filter point -resize "$((factor * 100))%" -strip \
    -define png:exclude-chunks=date,time "PNG32:$out/quenlark-$size.png"
done

# ImageMagick's pixel list has a line "x,y: (r,g,b,a)  #RRGGBBAA  name" per pixel, row by row.
convert "$res/quenlark-32.xpm" txt:- | awk '
  function flush() {
    if (colour != "" && alpha != "00") {
      printf "  <rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"1\" fill=\"#%s\"/>\n", \
        start, row, width, colour
    }
  }
  NR == 1 {
    split($5, size, ",")
    printf "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\"", size[1], size[2]
    printf " viewBox=\"0 0 %d %d\" shape-rendering=\"crispEdges\">\n", size[1], size[2]
    next
  }
  {
    split($1, at, "[,:]")
    x = at[1]; y = at[2]
    hex = substr($3, 2)
    c = tolower(substr(hex, 1, 6)); a = tolower(substr(hex, 7, 2))
    if (y != row || c != colour || a != alpha) {
      flush()
      row = y; start = x; width = 0; colour = c; alpha = a
    }
    width++
  }
  END { flush(); print "</svg>" }
' >"$out/quenlark.svg"
