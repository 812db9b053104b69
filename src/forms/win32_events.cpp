// The user's input, decoded by the dialog procedure, turned into the form's actions. The model
// decides every state change (radio buttons and check boxes are not automatic ones); the
// windows follow through control_changed.

#include <windows.h>

#include "forms/win32_backend.h"
#include "text/wide.h"

namespace forms::win32 {

void DialogBackend::end_if_result() {
  if (form_.modal_result != 0 && dialog_) EndDialog(dialog_, form_.modal_result);
}

void DialogBackend::on_command(HWND window, int code) {
  int choice = -1;
  Control* control = control_of(window, &choice);
  if (!control) return;
  switch (control->kind()) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) click(*control, choice, window);
      break;
    case ControlKind::RadioButton:
    case ControlKind::RadioGroup:
      // Arrow keys move the focus among radio buttons; reaching one by keyboard checks it.
      // A mouse click reports itself on button-up.
      if (code == BN_CLICKED || (code == BN_SETFOCUS && GetKeyState(VK_LBUTTON) >= 0)) {
        click(*control, choice, window);
      }
      break;
    case ControlKind::Edit:
    case ControlKind::LabeledEdit:
      if (code == EN_CHANGE) on_edit_changed(*control, window);
      break;
    case ControlKind::ListBox:
      if (code == LBN_SELCHANGE) on_list_selection(*control, window);
      break;
    default:
      break;
  }
}

// A click on a radio button that is already checked changes nothing and runs nothing, as in
// the class library. A hidden or disabled button can still be sent BM_CLICK: ignore it.
void DialogBackend::click(Control& control, int choice, HWND window) {
  if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return;
  switch (control.kind()) {
    case ControlKind::RadioGroup:
      if (choice < 0 || choice == control.item_index()) return;
      form_.select_item(control, choice);
      break;
    case ControlKind::RadioButton:
      if (control.checked()) return;
      form_.click(control);
      break;
    default:
      form_.click(control);
      break;
  }
  end_if_result();
}

// The text as the user left it, less any character without an exact code page 932 form (an
// IME or WM_SETTEXT can bring one past the key filter), and cut to the byte limit.
void DialogBackend::on_edit_changed(Control& edit, HWND window) {
  if (setting_text_) return;
  const std::wstring typed = window_text(window);
  DWORD caret = 0;
  SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
  std::wstring kept;
  std::string sjis;
  DWORD new_caret = caret;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const auto bytes = text::wide_to_sjis_exact(std::wstring_view(&typed[i], 1));
    const bool fits =
        bytes && (edit.max_length <= 0 ||
                  sjis.size() + bytes->size() <= static_cast<std::size_t>(edit.max_length));
    if (fits) {
      kept += typed[i];
      sjis += *bytes;
    } else if (i < caret) {
      --new_caret;
    }
  }
  if (kept != typed) {
    set_window_text(window, kept);
    SendMessageW(window, EM_SETSEL, new_caret, new_caret);
  }
  form_.change_text(edit, sjis);
  // The model may keep another text than the one typed (a handler's own): show the model's.
  if (edit.text() != sjis) apply_text(edit);
  end_if_result();
}

void DialogBackend::on_list_selection(Control& list, HWND window) {
  if (drag_.swallow_selchange) return;  // the drag already reported its selection
  const auto index = static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0));
  form_.select_item(list, index);
  end_if_result();
}

void DialogBackend::on_page_changed(HWND tab) {
  Control* pages = control_of(tab);
  if (!pages || pages->kind() != ControlKind::PageControl) return;
  const auto index = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
  pages->set_item_index(index);
  show_page(*pages);
  if (pages->on_change) form_.run_handler([&] { pages->on_change(*pages); });
  end_if_result();
}

// Enter when the dialog manager knows no default button: the model's default, if it can be
// pressed.
void DialogBackend::press_default() {
  for (const auto& control : form_.controls()) {
    if (control->kind() != ControlKind::Button || !control->is_default()) continue;
    const ControlWindows* made = windows_of(*control);
    if (made) click(*control, -1, made->window);
    return;
  }
}

// Esc: ends a drag first; else the cancel button, if it can be pressed; without one the form
// is cancelled.
void DialogBackend::press_cancel() {
  if (drag_.active) {
    drag_finish(false);
    return;
  }
  for (const auto& control : form_.controls()) {
    if (control->kind() != ControlKind::Button || !control->cancel) continue;
    const ControlWindows* made = windows_of(*control);
    if (made) click(*control, -1, made->window);
    return;
  }
  form_.modal_result = kModalCancel;
  end_if_result();
}

void DialogBackend::on_close() {
  if (drag_.active) drag_finish(false);
  form_.modal_result = kModalCancel;
  end_if_result();
}

// Coming back from a window of our own (the error box) is no new activation of the form.
void DialogBackend::on_activate(HWND other) {
  if (other && GetWindow(other, GW_OWNER) == dialog_) return;
  if (form_.on_activate) form_.run_handler([&] { form_.on_activate(); });
  end_if_result();
}

void DialogBackend::on_help(HWND item) {
  const Control* focused = control_of(GetFocus());
  if (!focused) focused = control_of(item);
  form_.request_help(focused);
  end_if_result();
}

HBRUSH DialogBackend::on_ctl_color(HDC dc, HWND window) {
  const Control* control = control_of(window);
  if (!control || control->color() == Control::kDefaultColor) return nullptr;
  const COLORREF color = color_ref(control->color());
  SetBkColor(dc, color);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  return brush_for(color);
}

// A bevel: an etched line on the left or top, or an etched box, on the face colour.
void DialogBackend::on_draw_item(const DRAWITEMSTRUCT& item) {
  const Control* control = control_of(item.hwndItem);
  if (!control || control->kind() != ControlKind::Bevel) return;
  RECT area = item.rcItem;
  FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
  UINT edges = BF_RECT;
  if (control->bevel_shape == BevelShape::LeftLine) edges = BF_LEFT;
  if (control->bevel_shape == BevelShape::TopLine) edges = BF_TOP;
  DrawEdge(item.hDC, &area, control->bevel_shape == BevelShape::Box ? BDR_SUNKENOUTER : EDGE_ETCHED,
           edges);
}

}  // namespace forms::win32
