#pragma once

// The Win32 side of one showing of a form: its windows, fonts and brushes, the link between
// windows and controls, and the user's input turned into the form's actions. Internal to the
// form layer; nothing outside src/forms sees a window.

// commctrl.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "forms/form.h"

namespace forms::win32 {

// The windows that stand for one control.
struct ControlWindows {
  HWND window = nullptr;      // the control; a radio group's frame; a tab sheet's page
  HWND label = nullptr;       // a labelled edit's label
  std::vector<HWND> choices;  // a radio group's buttons
  HWND parent = nullptr;      // the dialog or page holding the window
  int id = 0;
};

// A list-box drag in progress: the source, and the last control that was asked about it.
struct DragState {
  Control* source = nullptr;
  POINT start{};         // button-down point, client coordinates of the source
  bool pending = false;  // button down on an entry, not yet moved far enough
  bool active = false;
  Control* target = nullptr;
  bool accepted = false;
  POINT last{};  // screen point of the last move handled
  bool swallow_selchange = false;
};

class DialogBackend final : public FormBackend {
 public:
  DialogBackend(Form& form, const ShowOptions& options);
  ~DialogBackend() override;
  DialogBackend(const DialogBackend&) = delete;
  DialogBackend& operator=(const DialogBackend&) = delete;

  Form& form() { return form_; }
  HWND dialog() const { return dialog_; }

  // FormBackend.
  void control_changed(Control& control, Change what) override;
  void form_changed(Form& form) override;
  std::optional<Bounds> screen_bounds(const Control& control) const override;
  int item_at_pos(const Control& list, int x, int y) const override;

  // WM_INITDIALOG of the form's dialog: places it, builds every window, mirrors the form and
  // starts mirroring its changes. WM_DESTROY undoes the link.
  void init_dialog(HWND dialog);
  void on_destroy();
  // Builds every window in the dialog and mirrors the whole form (win32_controls.cpp).
  void create_windows(HWND dialog);

  // The control a window stands for; `choice` gets a radio group button's index, else -1.
  Control* control_of(HWND window, int* choice = nullptr) const;
  Control* control_by_id(int id) const;
  const ControlWindows* windows_of(const Control& control) const;
  // Effective states: a control inside a hidden or disabled container is hidden or disabled.
  bool shown(const Control& control) const;
  bool usable(const Control& control) const;

  // Events (win32_events.cpp): each runs the form's action, then ends the dialog when a
  // handler left a modal result.
  void on_command(HWND window, int code);
  void on_page_changed(HWND tab);
  void press_default();
  void press_cancel();
  void on_close();
  void on_activate(HWND other);
  void on_help(HWND item);
  HBRUSH on_ctl_color(HDC dc, HWND window);
  void on_draw_item(const DRAWITEMSTRUCT& item);
  void end_if_result();

  // Edits (win32_edit.cpp): typed and pasted characters pass the key filter, the code page and
  // the byte limit before they reach the window.
  std::optional<wchar_t> filter_char(Control& edit, HWND window, wchar_t ch);
  void paste(Control& edit, HWND window);

  // List-box drags (win32_drag.cpp).
  DragState& drag() { return drag_; }
  void drag_move(POINT screen);
  void drag_finish(bool drop);

  // Colour 0x00BBGGRR or a system colour, as a COLORREF.
  static COLORREF color_ref(std::uint32_t color);

 private:
  void click(Control& control, int choice, HWND window);
  void on_edit_changed(Control& edit, HWND window);
  void on_list_selection(Control& list, HWND window);
  void create_children(const Control* parent, HWND window);
  void create_control(Control& control, HWND window);
  void create_page_control(Control& pages, HWND window);
  void create_radio_choices(Control& group, HWND window);
  void place_label(Control& edit);
  HWND create_window(const Control& control, HWND parent, const wchar_t* window_class, DWORD style,
                     DWORD ex_style, Bounds bounds);
  void clip_page_control(const Control& pages);
  void mirror_all();
  POINT origin_in_window(const Control& control) const;
  HFONT font_for(const Font& font);
  HFONT font_of(const Control& control);
  HBRUSH brush_for(COLORREF color);

  void apply_text(const Control& control);
  void apply_enabled(const Control& control);
  void apply_visible(const Control& control);
  void apply_checked(const Control& control);
  void apply_items(Control& control);
  void apply_item_index(Control& control);
  void apply_hint(const Control& control);
  void apply_default();
  void apply_focus(const Control& control);
  void apply_group_tab_stops(const Control& control);
  void show_page(const Control& pages);
  std::vector<Control*> children_of(const Control* parent) const;
  std::vector<Control*> sheets_of(const Control& pages) const;
  void set_window_text(HWND window, const std::wstring& text);

  Form& form_;
  HWND dialog_ = nullptr;
  HWND tooltip_ = nullptr;
  std::map<const Control*, ControlWindows> windows_;
  std::map<HWND, std::pair<Control*, int>> by_window_;
  std::map<int, Control*> by_id_;
  std::map<std::wstring, HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
  ShowOptions options_;
  HWND previous_active_ = nullptr;
  DragState drag_;
  int next_id_ = 100;
  bool setting_text_ = false;
};

// The procedure of the form's dialog and of each tab sheet's page.
INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK edit_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                           DWORD_PTR data);
LRESULT CALLBACK drag_list_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                UINT_PTR id, DWORD_PTR data);

std::wstring window_text(HWND window);

// The module holding this code: the DLL when linked into it, the program otherwise.
HMODULE this_module();
// An empty in-memory dialog template with the given styles.
std::vector<WORD> empty_template(DWORD style, DWORD ex_style);

}  // namespace forms::win32
