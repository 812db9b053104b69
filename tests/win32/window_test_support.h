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

// The first window below `dialog` with this text.
inline HWND window_with_text(HWND dialog, const std::wstring& text) {
  for (const HWND child : descendants(dialog)) {
    if (text_of(child) == text) return child;
  }
  return nullptr;
}

inline std::wstring list_text(HWND list, int index) {
  wchar_t buffer[256] = {};
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

inline std::vector<std::wstring> list_texts(HWND list) {
  std::vector<std::wstring> texts;
  const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) texts.push_back(list_text(list, i));
  return texts;
}

// A mouse click as the window's own procedure sees it, in its client coordinates.
inline void click_at(HWND window, int x, int y) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

inline POINT centre_of_entry(HWND list, int index) {
  RECT item{};
  SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
}

}  // namespace win32_test
