// Resource numbers of the pictures, shared by the resource script and the windows.
#pragma once

#define IDI_APPICON 1
#define IDB_HELP 101
#define IDB_ERRORBOX 102
#define IDB_LOGOBANNER 103
#define IDC_HANDCURSOR 104
