#pragma once

struct IconOrigin {
    int x;
    int y;
};

// Where a minimised window draws its icon of cx x cy pixels so that it stands centred in the
// client area: (client - icon + 1) / 2 on each axis, the halves truncated toward zero, so a
// client 2 pixels smaller than the icon gives 0, not -1.
IconOrigin CenteredIconOrigin(int clientWidth, int clientHeight, int cx, int cy);
