// Edit boxes: every character, typed or pasted, passes the form's key filter (ASCII ones), must
// have an exact code page 932 form (best fit would turn U+00A5 into a backslash), and must fit
// the box's limit in Shift-JIS bytes, which EM_LIMITTEXT cannot count.

#include <windows.h>

#include <limits>

#include "forms/win32_backend.h"
#include "text/wide.h"

namespace forms::win32 {
namespace {

std::optional<std::string> sjis_of(wchar_t ch) {
  return text::wide_to_sjis_exact(std::wstring_view(&ch, 1));
}

std::size_t sjis_size(std::wstring_view text) {
  const auto bytes = text::wide_to_sjis_exact(text);
  return bytes ? bytes->size() : text.size() * 2;
}

// The edit's text with its selection removed, and where the selection was.
std::wstring text_without_selection(HWND window, DWORD& start) {
  DWORD end = 0;
  SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  std::wstring text = window_text(window);
  if (start > text.size()) start = static_cast<DWORD>(text.size());
  if (end < start) end = start;
  text.erase(start, end - start);
  return text;
}

// A key the handler gave back as a Shift-JIS byte.
wchar_t widen_key(char key) {
  const auto byte = static_cast<unsigned char>(key);
  if (byte < 0x80) return static_cast<wchar_t>(byte);
  const std::wstring wide = text::sjis_to_wide(std::string(1, key));
  return wide.empty() ? L'\0' : wide[0];
}

std::wstring clipboard_text(HWND window) {
  std::wstring text;
  if (!OpenClipboard(window)) return text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace

std::optional<wchar_t> DialogBackend::filter_char(Control& edit, HWND window, wchar_t ch) {
  if (ch < 0x80) {
    const char key = form_.filter_key(edit, static_cast<char>(ch));
    end_if_result();
    if (key == 0) return std::nullopt;
    ch = widen_key(key);
  }
  if (ch < 0x20 || ch == 0x7F) return ch;  // Backspace, Ctrl+C, Ctrl+V and the like
  if (!sjis_of(ch)) return std::nullopt;
  if (edit.max_length > 0) {
    DWORD start = 0;
    std::wstring after = text_without_selection(window, start);
    after.insert(start, 1, ch);
    if (sjis_size(after) > static_cast<std::size_t>(edit.max_length)) return std::nullopt;
  }
  return ch;
}

// Pastes the first line of the clipboard less every character a typed one would lose, and no
// more than the byte limit leaves room for.
void DialogBackend::paste(Control& edit, HWND window) {
  std::wstring pasted = clipboard_text(window);
  pasted = pasted.substr(0, pasted.find_first_of(L"\r\n"));
  DWORD start = 0;
  const std::wstring rest = text_without_selection(window, start);
  std::size_t room = edit.max_length > 0
                         ? static_cast<std::size_t>(edit.max_length) -
                               std::min(sjis_size(rest), static_cast<std::size_t>(edit.max_length))
                         : std::numeric_limits<std::size_t>::max();
  std::wstring kept;
  for (wchar_t ch : pasted) {
    if (ch < 0x20) continue;
    if (ch < 0x80) {
      const char key = form_.filter_key(edit, static_cast<char>(ch));
      if (key == 0) continue;
      ch = widen_key(key);
    }
    const auto bytes = sjis_of(ch);
    if (!bytes) continue;
    if (bytes->size() > room) break;
    room -= bytes->size();
    kept += ch;
  }
  end_if_result();
  if (!kept.empty()) {
    SendMessageW(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
  }
}

LRESULT CALLBACK edit_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                           DWORD_PTR data) {
  try {
    auto& backend = *reinterpret_cast<DialogBackend*>(data);
    Control* edit = backend.control_of(window);
    switch (message) {
      case WM_CHAR:
      case WM_IME_CHAR: {
        if (!edit) break;
        const auto ch = backend.filter_char(*edit, window, static_cast<wchar_t>(wparam));
        if (!ch) return 0;
        wparam = *ch;
        break;
      }
      case WM_PASTE:
        if (!edit) break;
        backend.paste(*edit, window);
        return 0;
      case WM_GETDLGCODE: {
        // The dialog manager selects an edit's whole text when it is tabbed into, unless the
        // edit denies having a selection to set.
        LRESULT code = DefSubclassProc(window, message, wparam, lparam);
        if (edit && !edit->auto_select) code &= ~static_cast<LRESULT>(DLGC_HASSETSEL);
        return code;
      }
      case WM_NCDESTROY:
        RemoveWindowSubclass(window, edit_proc, id);
        break;
      default:
        break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}

}  // namespace forms::win32
