// Win32: the executable's folder, for finding data/ beside dravik.exe.
#include <windows.h>

#include "app/Platform.h"

namespace dravik {

std::filesystem::path platformExecutableFolder() {
  // Long enough for any path Windows gives a module (32767 characters).
  static wchar_t name[32768];
  const DWORD length = GetModuleFileNameW(nullptr, name, sizeof name / sizeof name[0]);
  if (length == 0 || length >= sizeof name / sizeof name[0]) return {};
  return std::filesystem::path(name).parent_path();
}

// The installer and the zip put data/ beside the executable.
std::filesystem::path platformInstalledFolder() { return {}; }

}  // namespace dravik
