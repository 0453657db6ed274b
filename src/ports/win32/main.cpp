// The game's entry point on Windows: WinMain hands the backend its instance
// and starts the game. The game reads no command line.
#include "app/app.h"
#include "ports/win32/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    win32Start(instance, show);
    return gameMain(instance);
}
