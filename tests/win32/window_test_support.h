#pragma once

// Small helpers for Windows test programs that find and drive windows.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace win32_test {

// How long a test waits for a window to come or a dialog to end; Wine through qemu is slow to
// show the first window of a process.
inline constexpr DWORD kPatienceMs = 20000;

// The folder of the running test program, with its trailing separator.
inline std::wstring folder_of_this_program() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// Polls until `done` holds; false when the patience runs out first.
inline bool eventually(const std::function<bool()>& done, DWORD patience = kPatienceMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > patience) return false;
    Sleep(5);
  }
  return true;
}

inline std::wstring text_of(HWND window) {
  wchar_t buffer[512];
  const auto length = SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
  return std::wstring(buffer, static_cast<std::size_t>(length));
}

inline std::wstring class_of(HWND window) {
  wchar_t name[64];
  return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 64)));
}

inline BOOL CALLBACK collect_window(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// Every window below `dialog`, at any depth.
inline std::vector<HWND> descendants(HWND dialog) {
  std::vector<HWND> found;
  EnumChildWindows(dialog, collect_window, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace win32_test
