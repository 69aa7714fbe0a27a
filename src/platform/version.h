// The one place for the program's version: the version resource and the application object read it.
#pragma once

#define QUORVEX_TITLE "Quorvex"
#define QUORVEX_MAJOR 1
#define QUORVEX_MINOR 0
#define QUORVEX_REVISION 0
#define QUORVEX_BUILD 0
#define QUORVEX_VERSION_TEXT "1.00"
#define QUORVEX_DESCRIPTION "Describes MS Windows error codes"
