#include "app/Application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The runtime's argument pointer has leading blanks stripped; the switch is compared
    // with the text the program was given.
    return RunOrvalux(instance, ::GetCommandLineW());
}
