#include "app/ApplicationMain.h"

#include <windows.h>

// A program of the GUI subsystem: no console window; the system starts it here.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunApplication();
}
