#include <windows.h>

#include "text/wide.h"

namespace text {
namespace {

constexpr UINT kShiftJis = 932;

std::optional<std::wstring> to_wide(std::string_view bytes, DWORD flags) {
  if (bytes.empty()) return std::wstring();
  const int length = MultiByteToWideChar(kShiftJis, flags, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kShiftJis, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                      length);
  return wide;
}

}  // namespace

std::wstring sjis_to_wide(std::string_view sjis) { return to_wide(sjis, 0).value_or(L""); }

std::optional<std::wstring> sjis_to_wide_exact(std::string_view sjis) {
  return to_wide(sjis, MB_ERR_INVALID_CHARS);
}

std::string wide_to_utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), length,
                      nullptr, nullptr);
  return out;
}

std::optional<std::string> wide_to_sjis_exact(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  BOOL used_default = FALSE;
  const int length =
      WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(),
                          static_cast<int>(wide.size()), nullptr, 0, nullptr, &used_default);
  if (length <= 0 || used_default) return std::nullopt;
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      out.data(), length, nullptr, nullptr);
  return out;
}

std::wstring utf8_to_wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string wide_to_sjis_best(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length =
      WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(),
                          static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace text
