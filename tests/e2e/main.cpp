#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // CTest reads the list of tests line by line: no CR before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
  // Measure the program's windows in real pixels, whatever the screen's resolution.
  SetProcessDPIAware();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
