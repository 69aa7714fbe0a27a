// The program starts with its main window; there is no other start routine.
#include <windows.h>

#include "main/frmMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return forms::Run(frmMain::Instance()); }
