// The game's entry point: the real window. The game reads no command line.
#include "app/app.h"

int main() { return gameMain(nullptr); }
