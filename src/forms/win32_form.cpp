// Showing a form as a modal Win32 dialog: an empty in-memory template whose controls are
// created at their exact pixels in WM_INITDIALOG, inside the module's own activation context so
// the common controls 6.0 are used whatever the host's manifest says.

#include <windows.h>

#include "forms/form.h"
#include "forms/win32_backend.h"
#include "text/wide.h"

namespace forms {
namespace {

constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME;
// The manifest resource of a DLL that asks for the common controls 6.0.
constexpr WORD kManifestId = 2;

// The form's dialog while it is shown, so the error box has an owner.
HWND active_form_window = nullptr;

// Activates the module's manifest for the life of the object; without the resource the
// system's default controls are used.
class VisualStyles {
 public:
  VisualStyles() {
    wchar_t path[MAX_PATH];
    const HMODULE module = win32::this_module();
    if (GetModuleFileNameW(module, path, MAX_PATH) == 0) return;
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = module;
    request.lpSource = path;
    request.lpResourceName = MAKEINTRESOURCEW(kManifestId);
    context_ = CreateActCtxW(&request);
    if (context_ != INVALID_HANDLE_VALUE) active_ = ActivateActCtx(context_, &cookie_) != FALSE;
  }
  ~VisualStyles() {
    if (active_) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
  }
  VisualStyles(const VisualStyles&) = delete;
  VisualStyles& operator=(const VisualStyles&) = delete;

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

void init_common_controls() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&classes);
}

}  // namespace

namespace win32 {

HMODULE this_module() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&this_module), &module);
  return module;
}

std::vector<WORD> empty_template(DWORD style, DWORD ex_style) {
  // DLGTEMPLATE, then empty menu, class and title; no controls.
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = style;
  header->dwExtendedStyle = ex_style;
  return words;
}

DialogBackend::DialogBackend(Form& form, const ShowOptions& options)
    : form_(form), options_(options) {}

void DialogBackend::init_dialog(HWND dialog) {
  previous_active_ = active_form_window;
  active_form_window = dialog;
  int width = 0;
  int height = 0;
  form_.outer_size(width, height);
  SetWindowPos(dialog, nullptr, options_.left, options_.top, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowTextW(dialog, text::sjis_to_wide(form_.caption()).c_str());
  create_windows(dialog);
  form_.set_backend(this);
}

void DialogBackend::on_destroy() {
  if (form_.backend() == this) form_.set_backend(nullptr);
  active_form_window = previous_active_;
  dialog_ = nullptr;
}

namespace {

DialogBackend* backend_of(HWND window) {
  return reinterpret_cast<DialogBackend*>(GetWindowLongPtrW(window, DWLP_USER));
}

INT_PTR on_init_dialog(HWND window, LPARAM lparam) {
  auto* backend = reinterpret_cast<DialogBackend*>(lparam);
  SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(backend));
  // A tab sheet's page needs nothing more; the form builds its controls.
  if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) return FALSE;
  try {
    backend->init_dialog(window);
  } catch (...) {
    EndDialog(window, kModalCancel);
  }
  // Let the dialog manager focus the first control in tab order.
  return TRUE;
}

INT_PTR on_command(DialogBackend& backend, WPARAM wparam, LPARAM lparam) {
  const int id = LOWORD(wparam);
  if (const auto window = reinterpret_cast<HWND>(lparam)) {
    backend.on_command(window, HIWORD(wparam));
  } else if (id == IDOK) {  // Enter with no default button known to the dialog manager
    backend.press_default();
  } else if (id == IDCANCEL) {  // Esc
    backend.press_cancel();
  } else if (const Control* control = backend.control_by_id(id)) {
    if (const auto* windows = backend.windows_of(*control)) {
      backend.on_command(windows->window, BN_CLICKED);
    }
  }
  return TRUE;
}

INT_PTR on_notify(DialogBackend& backend, const NMHDR& header) {
  if (header.code == static_cast<UINT>(TCN_SELCHANGE)) {
    backend.on_page_changed(header.hwndFrom);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

// One procedure for the form's dialog and its pages: controls on a page report to the page.
INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    if (message == WM_INITDIALOG) return on_init_dialog(window, lparam);
    DialogBackend* backend = backend_of(window);
    if (!backend) return FALSE;
    const bool is_form = window == backend->dialog();
    switch (message) {
      case WM_COMMAND:
        return on_command(*backend, wparam, lparam);
      case WM_NOTIFY:
        return on_notify(*backend, *reinterpret_cast<const NMHDR*>(lparam));
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<INT_PTR>(
            backend->on_ctl_color(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam)));
      case WM_DRAWITEM:
        backend->on_draw_item(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        return TRUE;
      case WM_HELP:
        backend->on_help(static_cast<HWND>(reinterpret_cast<const HELPINFO*>(lparam)->hItemHandle));
        return TRUE;
      case WM_ACTIVATE:
        if (is_form && LOWORD(wparam) != WA_INACTIVE && !HIWORD(wparam)) {
          backend->on_activate(reinterpret_cast<HWND>(lparam));
        }
        return FALSE;
      case WM_CLOSE:
        if (!is_form) return FALSE;
        backend->on_close();
        return TRUE;
      case WM_DESTROY:
        if (is_form) backend->on_destroy();
        return FALSE;
      default:
        return FALSE;
    }
  } catch (...) {
    return FALSE;
  }
}

}  // namespace win32

int Form::show_modal(const ShowOptions& options) {
  modal_result = 0;
  VisualStyles styles;
  init_common_controls();
  win32::DialogBackend backend(*this, options);
  const std::vector<WORD> dialog = win32::empty_template(kFormStyle, kFormExStyle);
  const INT_PTR result = DialogBoxIndirectParamW(
      win32::this_module(), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
      static_cast<HWND>(options.owner), win32::dialog_proc, reinterpret_cast<LPARAM>(&backend));
  if (backend_ == &backend) backend_ = nullptr;
  return result > 0 ? static_cast<int>(result) : kModalCancel;
}

void Form::outer_size(int& width, int& height) const {
  RECT frame{0, 0, client_width_, client_height_};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
  width = frame.right - frame.left;
  height = frame.bottom - frame.top;
}

void platform_error_box(const std::string& message) {
  const std::wstring text =
      message.empty() ? std::wstring(L"エラーが発生しました。") : text::sjis_to_wide(message);
  MessageBoxW(active_form_window, text.c_str(), L"エラー", MB_OK | MB_ICONERROR);
}

}  // namespace forms
