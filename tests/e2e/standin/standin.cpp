// Stands in for a program that Quorvex starts (a web browser, the system-information tool): it
// only notes that it ran. Each run appends one line to "<its own path>.log": its arguments,
// separated by single spaces (an empty line when it got none).
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring line;
  for (int i = 1; args && i < count; ++i) {
    if (i > 1) line += L' ';
    line += args[i];
  }
  LocalFree(args);
  line += L"\r\n";

  std::wstring log(32768, L'\0');
  log.resize(GetModuleFileNameW(nullptr, log.data(), static_cast<DWORD>(log.size())));
  log += L".log";
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size, nullptr, nullptr);

  // One write per run, so that a reader never sees half a line; runs that overlap take turns.
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      CloseHandle(file);
      return ok && written == bytes.size() ? 0 : 1;
    }
    Sleep(10);
  }
  return 1;
}
