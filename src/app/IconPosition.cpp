#include "app/IconPosition.h"

IconOrigin CenteredIconOrigin(int clientWidth, int clientHeight, int cx, int cy) {
    return {(clientWidth - cx + 1) / 2, (clientHeight - cy + 1) / 2};
}
