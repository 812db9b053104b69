// Dragging an entry of a list box, as the class library's automatic drag mode does: the button
// goes down on an entry (the list selects it), the pointer moves a few pixels with the button
// held, and from then on every control under the pointer with a drag-over handler is asked
// whether it takes the drop. A list box is a drag source when one of its drag handlers is bound.

#include <windows.h>
#include <windowsx.h>

#include <cstdlib>

#include "forms/win32_backend.h"

namespace forms::win32 {
namespace {

bool is_drag_source(const Control& list) {
  return list.on_drag_over || list.on_drag_drop || list.on_end_drag;
}

POINT client_point(LPARAM lparam) { return {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}; }

POINT to_screen(HWND window, POINT point) {
  ClientToScreen(window, &point);
  return point;
}

bool moved_far_enough(POINT from, POINT to) {
  return std::abs(to.x - from.x) >= GetSystemMetrics(SM_CXDRAG) ||
         std::abs(to.y - from.y) >= GetSystemMetrics(SM_CYDRAG);
}

}  // namespace

void DialogBackend::drag_move(POINT screen) {
  // Statics and disabled windows are transparent to WindowFromPoint: their parent answers.
  Control* target = nullptr;
  for (HWND at = WindowFromPoint(screen); at && !target; at = GetParent(at)) {
    target = control_of(at);
    if (at == dialog_) break;
  }
  bool accept = false;
  if (target && target->on_drag_over) {
    POINT client = screen;
    ScreenToClient(windows_of(*target)->window, &client);
    accept = true;
    Control& source = *drag_.source;
    form_.run_handler([&] { target->on_drag_over(*target, source, client.x, client.y, accept); });
  }
  drag_.target = target;
  drag_.accepted = accept;
  drag_.last = screen;
  SetCursor(LoadCursorW(nullptr, accept ? IDC_ARROW : IDC_NO));
  end_if_result();
}

// Ends the drag: the drop goes to the last control that accepted it, and the source always
// hears the end, with the target or nothing.
void DialogBackend::drag_finish(bool drop) {
  if (!drag_.active) return;
  drag_.active = false;
  Control& source = *drag_.source;
  Control* target = drop && drag_.accepted ? drag_.target : nullptr;
  if (target && target->on_drag_drop) {
    POINT client = drag_.last;
    ScreenToClient(windows_of(*target)->window, &client);
    form_.run_handler([&] { target->on_drag_drop(*target, source, client.x, client.y); });
  }
  if (source.on_end_drag) form_.run_handler([&] { source.on_end_drag(source, target); });
  // The list may no longer know it holds the pointer (see on_mouse_move): let it go here.
  if (GetCapture() == windows_of(source)->window) ReleaseCapture();
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  end_if_result();
}

namespace {

LRESULT on_button_down(DialogBackend& backend, HWND window, UINT message, WPARAM wparam,
                       LPARAM lparam) {
  // The list selects the entry and captures the pointer first.
  const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
  Control* list = backend.control_of(window);
  const POINT point = client_point(lparam);
  DragState& drag = backend.drag();
  if (list && is_drag_source(*list) && !drag.active &&
      backend.item_at_pos(*list, point.x, point.y) >= 0) {
    drag.source = list;
    drag.start = point;
    drag.pending = true;
  }
  return result;
}

// True when the move belongs to a drag and the list must not see it (it would move its
// selection with the pointer).
bool on_mouse_move(DialogBackend& backend, HWND window, WPARAM wparam, LPARAM lparam) {
  DragState& drag = backend.drag();
  const POINT point = client_point(lparam);
  if (drag.active) {
    backend.drag_move(to_screen(window, point));
    return true;
  }
  if (!drag.pending) return false;
  if (!(wparam & MK_LBUTTON)) {
    drag.pending = false;
    return false;
  }
  if (!moved_far_enough(drag.start, point)) return false;
  drag.pending = false;
  // The list reports its selection on button-up, too late for the drag: report it now. Its
  // handler may move the focus away, and a list losing the focus lets go of the pointer, so
  // the drag begins only after it and takes the pointer back.
  Control& source = *drag.source;
  const auto index = static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0));
  backend.form().select_item(source, index);
  backend.end_if_result();
  if (backend.form().modal_result != 0) return true;  // the selection's handler ended the form
  drag.active = true;
  drag.target = nullptr;
  drag.accepted = false;
  SetCapture(window);
  backend.drag_move(to_screen(window, point));
  return true;
}

LRESULT on_button_up(DialogBackend& backend, HWND window, UINT message, WPARAM wparam,
                     LPARAM lparam) {
  DragState& drag = backend.drag();
  drag.pending = false;
  if (!drag.active) return DefSubclassProc(window, message, wparam, lparam);
  const POINT screen = to_screen(window, client_point(lparam));
  if (screen.x != drag.last.x || screen.y != drag.last.y) backend.drag_move(screen);
  backend.drag_finish(true);
  // Let the list end its own tracking; the selection it reports was reported at the start.
  drag.swallow_selchange = true;
  const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
  drag.swallow_selchange = false;
  return result;
}

}  // namespace

LRESULT CALLBACK drag_list_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                UINT_PTR id, DWORD_PTR data) {
  try {
    auto& backend = *reinterpret_cast<DialogBackend*>(data);
    switch (message) {
      case WM_LBUTTONDOWN:
        return on_button_down(backend, window, message, wparam, lparam);
      case WM_MOUSEMOVE:
        if (on_mouse_move(backend, window, wparam, lparam)) return 0;
        break;
      case WM_LBUTTONUP:
        return on_button_up(backend, window, message, wparam, lparam);
      case WM_CAPTURECHANGED:
        if (backend.drag().active && reinterpret_cast<HWND>(lparam) != window) {
          backend.drag_finish(false);
        }
        break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(window, drag_list_proc, id);
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
