// The windows behind each kind of control, and the mirror from the model's state into them.
// Group boxes, panels and radio groups are not parent windows: their children are placed in the
// same dialog (or page), offset by the container's origin, and the container is created after
// them so it lies below them. A tab sheet is a child dialog of its own.

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "forms/win32_backend.h"
#include "text/wide.h"

namespace forms::win32 {
namespace {

constexpr DWORD kPageStyle = WS_CHILD | DS_CONTROL;

std::wstring wide(const std::string& sjis) { return text::sjis_to_wide(sjis); }

RECT rect_in_parent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void set_style_bit(HWND window, DWORD bit, bool on) {
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR wanted = on ? (style | bit) : (style & ~static_cast<LONG_PTR>(bit));
  if (wanted != style) SetWindowLongPtrW(window, GWL_STYLE, wanted);
}

}  // namespace

std::wstring window_text(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

DialogBackend::~DialogBackend() {
  for (const auto& [key, font] : fonts_) DeleteObject(font);
  for (const auto& [color, brush] : brushes_) DeleteObject(brush);
}

// ---- lookups

std::vector<Control*> DialogBackend::children_of(const Control* parent) const {
  std::vector<Control*> children;
  for (const auto& control : form_.controls()) {
    if (control->parent() == parent) children.push_back(control.get());
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const Control* a, const Control* b) { return a->tab_order < b->tab_order; });
  return children;
}

// Pages in the order the description declares them.
std::vector<Control*> DialogBackend::sheets_of(const Control& pages) const {
  std::vector<Control*> sheets;
  for (const auto& control : form_.controls()) {
    if (control->parent() == &pages && control->kind() == ControlKind::TabSheet) {
      sheets.push_back(control.get());
    }
  }
  return sheets;
}

Control* DialogBackend::control_of(HWND window, int* choice) const {
  const auto found = by_window_.find(window);
  if (choice) *choice = found == by_window_.end() ? -1 : found->second.second;
  return found == by_window_.end() ? nullptr : found->second.first;
}

Control* DialogBackend::control_by_id(int id) const {
  const auto found = by_id_.find(id);
  return found == by_id_.end() ? nullptr : found->second;
}

const ControlWindows* DialogBackend::windows_of(const Control& control) const {
  const auto found = windows_.find(&control);
  return found == windows_.end() ? nullptr : &found->second;
}

// A tab sheet's page is shown by its page control, not by its own flag.
bool DialogBackend::shown(const Control& control) const {
  for (const Control* at = &control; at && at->kind() != ControlKind::TabSheet; at = at->parent()) {
    if (!at->visible()) return false;
  }
  return true;
}

bool DialogBackend::usable(const Control& control) const {
  for (const Control* at = &control; at; at = at->parent()) {
    if (!at->enabled()) return false;
  }
  return true;
}

POINT DialogBackend::origin_in_window(const Control& control) const {
  POINT origin{0, 0};
  for (const Control* at = control.parent(); at && at->kind() != ControlKind::TabSheet;
       at = at->parent()) {
    origin.x += at->bounds().left;
    origin.y += at->bounds().top;
  }
  return origin;
}

// ---- fonts and brushes

HFONT DialogBackend::font_for(const Font& font) {
  const std::wstring name = wide(font.name);
  const std::wstring key = name + L'|' + std::to_wstring(font.height) + (font.bold ? L"b" : L"") +
                           (font.underline ? L"u" : L"");
  if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
  const HFONT handle =
      CreateFontW(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline,
                  FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH | FF_DONTCARE, name.c_str());
  fonts_.emplace(key, handle);
  return handle;
}

HFONT DialogBackend::font_of(const Control& control) {
  return font_for(control.font.name.empty() ? form_.font : control.font);
}

HBRUSH DialogBackend::brush_for(COLORREF color) {
  if (const auto found = brushes_.find(color); found != brushes_.end()) return found->second;
  const HBRUSH brush = CreateSolidBrush(color);
  brushes_.emplace(color, brush);
  return brush;
}

COLORREF DialogBackend::color_ref(std::uint32_t color) {
  if ((color & 0xFF000000u) == 0xFF000000u) return GetSysColor(static_cast<int>(color & 0xFFu));
  return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

// ---- creation

HWND DialogBackend::create_window(const Control& control, HWND parent, const wchar_t* window_class,
                                  DWORD style, DWORD ex_style, Bounds bounds) {
  const int id = next_id_++;
  const HWND window =
      CreateWindowExW(ex_style, window_class, L"", style | WS_CHILD | WS_CLIPSIBLINGS, bounds.left,
                      bounds.top, bounds.width, bounds.height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), this_module(), nullptr);
  if (!window) throw std::runtime_error("CreateWindowExW failed");
  by_id_[id] = const_cast<Control*>(&control);
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_of(control)), FALSE);
  return window;
}

void DialogBackend::create_windows(HWND dialog) {
  dialog_ = dialog;
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, this_module(), nullptr);
  create_children(nullptr, dialog);
  mirror_all();
  for (const auto& control : form_.controls()) {
    if (control->kind() == ControlKind::PageControl) clip_page_control(*control);
  }
}

void DialogBackend::create_children(const Control* parent, HWND window) {
  for (Control* child : children_of(parent)) create_control(*child, window);
}

void DialogBackend::create_control(Control& control, HWND window) {
  const POINT origin = origin_in_window(control);
  Bounds at = control.bounds();
  at.left += origin.x;
  at.top += origin.y;
  const DWORD tab_stop = control.tab_stop ? WS_TABSTOP : 0;
  ControlWindows made;
  made.parent = window;
  HWND handle = nullptr;
  switch (control.kind()) {
    case ControlKind::TabSheet:  // built by its page control
      return;
    case ControlKind::PageControl:
      create_page_control(control, window);
      return;
    case ControlKind::Button:
      handle = create_window(control, window, WC_BUTTONW, BS_PUSHBUTTON | tab_stop, 0, at);
      break;
    case ControlKind::RadioButton:  // the model checks it, so not an automatic one
      handle = create_window(control, window, WC_BUTTONW, BS_RADIOBUTTON | BS_NOTIFY, 0, at);
      break;
    case ControlKind::CheckBox:
      handle = create_window(control, window, WC_BUTTONW, BS_CHECKBOX | tab_stop, 0, at);
      break;
    case ControlKind::GroupBox:
      create_children(&control, window);
      handle = create_window(control, window, WC_BUTTONW, BS_GROUPBOX, 0, at);
      break;
    case ControlKind::RadioGroup:
      create_children(&control, window);
      create_radio_choices(control, window);
      handle = create_window(control, window, WC_BUTTONW, BS_GROUPBOX, 0, at);
      break;
    case ControlKind::Panel:
      create_children(&control, window);
      handle = create_window(control, window, WC_STATICW,
                             SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | SS_NOTIFY,
                             control.lowered ? WS_EX_STATICEDGE : 0, at);
      break;
    case ControlKind::Bevel:
      handle = create_window(control, window, WC_STATICW, SS_OWNERDRAW, 0, at);
      break;
    case ControlKind::Label:
      handle = create_window(control, window, WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, at);
      break;
    case ControlKind::LabeledEdit:
    case ControlKind::Edit: {
      if (control.kind() == ControlKind::LabeledEdit) {
        made.label = create_window(control, window, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, {});
        SendMessageW(made.label, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(form_.font)), FALSE);
        by_window_[made.label] = {&control, -1};
      }
      handle = create_window(control, window, WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | tab_stop,
                             WS_EX_CLIENTEDGE, at);
      SetWindowSubclass(handle, edit_proc, 0, reinterpret_cast<DWORD_PTR>(this));
      break;
    }
    case ControlKind::ListBox:
      handle =
          create_window(control, window, WC_LISTBOXW,
                        LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | tab_stop,
                        WS_EX_CLIENTEDGE, at);
      if (control.item_height > 0) {
        SendMessageW(handle, LB_SETITEMHEIGHT, 0, MAKELPARAM(control.item_height, 0));
      }
      SetWindowSubclass(handle, drag_list_proc, 0, reinterpret_cast<DWORD_PTR>(this));
      break;
  }
  made.window = handle;
  made.id = GetDlgCtrlID(handle);
  if (const auto existing = windows_.find(&control); existing != windows_.end()) {
    made.choices = existing->second.choices;
  }
  windows_[&control] = made;
  by_window_[handle] = {&control, -1};
  if (made.label) place_label(control);
}

// A labelled edit's label: as wide and high as its text, on the left of the box, `label_spacing`
// pixels away, centred on the box's height.
void DialogBackend::place_label(Control& edit) {
  const ControlWindows& made = windows_.at(&edit);
  const std::wstring label = wide(edit.label);
  SetWindowTextW(made.label, label.c_str());
  const HDC dc = GetDC(made.label);
  const HGDIOBJ old = SelectObject(dc, font_for(form_.font));
  SIZE extent{};
  GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &extent);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(made.label, dc);
  const RECT box = rect_in_parent(made.window);
  const int height = metrics.tmHeight;
  const int top = box.top + (edit.bounds().height - height) / 2;
  SetWindowPos(made.label, nullptr, box.left - edit.label_spacing - extent.cx, top, extent.cx,
               height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The choices of a radio group laid out in columns as the class library does: equal rows below
// the caption's line, the remainder split above and below.
void DialogBackend::create_radio_choices(Control& group, HWND window) {
  ControlWindows& made = windows_[&group];
  for (const HWND button : made.choices) {
    by_window_.erase(button);
    DestroyWindow(button);
  }
  made.choices.clear();
  const auto count = static_cast<int>(group.items().size());
  if (count == 0) return;
  const HDC dc = GetDC(window);
  const HGDIOBJ old = SelectObject(dc, font_of(group));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);

  const int columns = std::max(1, group.columns);
  const int per_column = (count + columns - 1) / columns;
  const POINT origin = origin_in_window(group);
  const Bounds& box = group.bounds();
  const int width = (box.width - 10) / columns;
  const int free_height = box.height - metrics.tmHeight - 5;
  const int height = free_height / per_column;
  const int top_margin = metrics.tmHeight + 1 + (free_height % per_column) / 2;
  for (int i = 0; i < count; ++i) {
    const Bounds at{origin.x + box.left + (i / per_column) * width + 8,
                    origin.y + box.top + (i % per_column) * height + top_margin, width, height};
    const HWND button = create_window(group, window, WC_BUTTONW, BS_RADIOBUTTON | BS_NOTIFY, 0, at);
    SetWindowTextW(button, wide(group.items()[static_cast<std::size_t>(i)].text).c_str());
    made.choices.push_back(button);
    by_window_[button] = {&group, i};
  }
}

void DialogBackend::create_page_control(Control& pages, HWND window) {
  const POINT origin = origin_in_window(pages);
  Bounds at = pages.bounds();
  at.left += origin.x;
  at.top += origin.y;
  const HWND tab =
      create_window(pages, window, WC_TABCONTROLW, pages.tab_stop ? WS_TABSTOP : 0, 0, at);
  ControlWindows made;
  made.window = tab;
  made.parent = window;
  made.id = GetDlgCtrlID(tab);
  windows_[&pages] = made;
  by_window_[tab] = {&pages, -1};

  const std::vector<Control*> sheets = sheets_of(pages);
  // The page control's entries are its pages; its item index is the page in front.
  if (pages.items().size() != sheets.size()) {
    std::vector<ListEntry> entries;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      entries.push_back({sheets[i]->text(), static_cast<std::int32_t>(i)});
    }
    pages.set_items(std::move(entries));
  }
  if (pages.item_index() < 0 && !sheets.empty()) pages.set_item_index(0);

  const std::vector<WORD> page_template = empty_template(kPageStyle, 0);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    Control& sheet = *sheets[i];
    std::wstring caption = wide(sheet.text());
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  // Sheets without a size of their own fill the tab control's display area.
  RECT display{0, 0, at.width, at.height};
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  for (Control* sheet : sheets) {
    const Bounds& own = sheet->bounds();
    const Bounds place = own.width > 0 && own.height > 0
                             ? Bounds{at.left + own.left, at.top + own.top, own.width, own.height}
                             : Bounds{at.left + display.left, at.top + display.top,
                                      display.right - display.left, display.bottom - display.top};
    const HWND page = CreateDialogIndirectParamW(
        this_module(), reinterpret_cast<const DLGTEMPLATE*>(page_template.data()), window,
        dialog_proc, reinterpret_cast<LPARAM>(this));
    if (!page) throw std::runtime_error("CreateDialogIndirectParamW failed");
    SetWindowPos(page, HWND_BOTTOM, place.left, place.top, place.width, place.height,
                 SWP_NOACTIVATE);
    ControlWindows page_windows;
    page_windows.window = page;
    page_windows.parent = window;
    windows_[sheet] = page_windows;
    by_window_[page] = {sheet, -1};
    create_children(sheet, page);
  }
}

// Z-order is tab order, so the tab control lies above its pages and the pages above whatever
// follows them (OK, CANCEL): without regions a repaint of one erases the others.
void DialogBackend::clip_page_control(const Control& pages) {
  const HWND tab = windows_.at(&pages).window;
  std::vector<HWND> page_windows;
  for (const Control* sheet : sheets_of(pages)) page_windows.push_back(windows_.at(sheet).window);
  std::vector<RECT> later;
  for (HWND next = GetWindow(tab, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
    if (std::find(page_windows.begin(), page_windows.end(), next) == page_windows.end() &&
        (GetWindowLongPtrW(next, GWL_STYLE) & WS_VISIBLE)) {
      later.push_back(rect_in_parent(next));
    }
  }
  const auto clip = [](HWND window, const std::vector<RECT>& holes) {
    const RECT own = rect_in_parent(window);
    const HRGN region = CreateRectRgn(0, 0, own.right - own.left, own.bottom - own.top);
    for (const RECT& hole : holes) {
      const HRGN cut = CreateRectRgn(hole.left - own.left, hole.top - own.top,
                                     hole.right - own.left, hole.bottom - own.top);
      CombineRgn(region, region, cut, RGN_DIFF);
      DeleteObject(cut);
    }
    SetWindowRgn(window, region, FALSE);  // the window owns the region now
  };
  std::vector<RECT> tab_holes = later;
  for (const HWND page : page_windows) tab_holes.push_back(rect_in_parent(page));
  clip(tab, tab_holes);
  for (const HWND page : page_windows) clip(page, later);
}

// ---- mirroring

void DialogBackend::mirror_all() {
  for (const auto& owned : form_.controls()) {
    Control& control = *owned;
    if (!windows_of(control)) continue;  // a tab sheet outside any page control
    apply_text(control);
    apply_hint(control);
    switch (control.kind()) {
      case ControlKind::RadioButton:
      case ControlKind::CheckBox:
        apply_checked(control);
        break;
      case ControlKind::ListBox:
      case ControlKind::RadioGroup:
        apply_items(control);
        break;
      default:
        break;
    }
  }
  apply_default();
  for (const auto& owned : form_.controls()) {
    if (!windows_of(*owned)) continue;
    apply_enabled(*owned);
    apply_visible(*owned);
  }
  for (const auto& owned : form_.controls()) {
    if (owned->kind() == ControlKind::PageControl) show_page(*owned);
  }
  // Radio buttons that follow one of the same group share its WS_GROUP, so arrows move among
  // them; every other control starts a group of its own.
  for (const auto& owned : form_.controls()) {
    if (!windows_of(*owned)) continue;
    const ControlWindows& made = *windows_of(*owned);
    const Control* previous = nullptr;
    if (owned->kind() == ControlKind::RadioButton) {
      const HWND before = GetWindow(made.window, GW_HWNDPREV);
      int choice = -1;
      previous = before ? control_of(before, &choice) : nullptr;
      if (previous &&
          (previous->kind() != ControlKind::RadioButton || previous->parent() != owned->parent())) {
        previous = nullptr;
      }
    }
    set_style_bit(made.window, WS_GROUP, previous == nullptr);
    if (made.label) set_style_bit(made.label, WS_GROUP, true);
    for (std::size_t i = 0; i < made.choices.size(); ++i) {
      set_style_bit(made.choices[i], WS_GROUP, i == 0);
    }
  }
}

void DialogBackend::control_changed(Control& control, Change what) {
  if (!windows_of(control)) return;
  switch (what) {
    case Change::Text:
      apply_text(control);
      break;
    case Change::Enabled:
      apply_enabled(control);
      break;
    case Change::Visible:
      apply_visible(control);
      break;
    case Change::Checked:
      apply_checked(control);
      break;
    case Change::Items:
      apply_items(control);
      break;
    case Change::ItemIndex:
      apply_item_index(control);
      break;
    case Change::Color: {
      const ControlWindows& made = *windows_of(control);
      InvalidateRect(made.window, nullptr, TRUE);
      for (const HWND choice : made.choices) InvalidateRect(choice, nullptr, TRUE);
      break;
    }
    case Change::Hint:
      apply_hint(control);
      break;
    case Change::Default:
      apply_default();
      break;
    case Change::Focus:
      apply_focus(control);
      break;
  }
}

void DialogBackend::form_changed(Form& form) {
  if (dialog_) SetWindowTextW(dialog_, wide(form.caption()).c_str());
}

std::optional<Bounds> DialogBackend::screen_bounds(const Control& control) const {
  const ControlWindows* made = windows_of(control);
  if (!made) return std::nullopt;
  RECT rect;
  GetWindowRect(made->window, &rect);
  return Bounds{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

int DialogBackend::item_at_pos(const Control& list, int x, int y) const {
  const ControlWindows* made = windows_of(list);
  if (!made || list.kind() != ControlKind::ListBox) return FormBackend::item_at_pos(list, x, y);
  const LRESULT hit = SendMessageW(made->window, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
  if (HIWORD(hit) != 0) return -1;
  const int index = LOWORD(hit);
  // The nearest entry is answered below the last one too: only a point on it counts.
  RECT item{};
  if (SendMessageW(made->window, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) ==
      LB_ERR) {
    return -1;
  }
  const POINT point{x, y};
  return PtInRect(&item, point) ? index : -1;
}

void DialogBackend::set_window_text(HWND window, const std::wstring& text) {
  if (window_text(window) == text) return;  // keeps an edit's caret where the user left it
  setting_text_ = true;
  SetWindowTextW(window, text.c_str());
  setting_text_ = false;
}

void DialogBackend::apply_text(const Control& control) {
  const ControlWindows& made = *windows_of(control);
  switch (control.kind()) {
    case ControlKind::PageControl:
    case ControlKind::ListBox:
    case ControlKind::Bevel:
      return;
    case ControlKind::TabSheet: {
      const Control* pages = control.parent();
      if (!pages || !windows_of(*pages)) return;
      const std::vector<Control*> sheets = sheets_of(*pages);
      const auto index = std::find(sheets.begin(), sheets.end(), &control) - sheets.begin();
      std::wstring caption = wide(control.text());
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      SendMessageW(windows_of(*pages)->window, TCM_SETITEMW, index,
                   reinterpret_cast<LPARAM>(&item));
      return;
    }
    default:
      set_window_text(made.window, wide(control.text()));
  }
}

namespace {

// Every window that stands for the control or lies inside it in the model.
void collect_windows(const DialogBackend& backend, const Form& form, const Control& root,
                     std::vector<std::pair<const Control*, HWND>>& out) {
  if (const ControlWindows* made = backend.windows_of(root)) {
    out.emplace_back(&root, made->window);
    if (made->label) out.emplace_back(&root, made->label);
    for (const HWND choice : made->choices) out.emplace_back(&root, choice);
  }
  for (const auto& control : form.controls()) {
    if (control->parent() == &root) collect_windows(backend, form, *control, out);
  }
}

}  // namespace

void DialogBackend::apply_enabled(const Control& control) {
  std::vector<std::pair<const Control*, HWND>> affected;
  collect_windows(*this, form_, control, affected);
  const HWND focus = GetFocus();
  bool lost_focus = false;
  for (const auto& [owner, window] : affected) {
    const bool enable = usable(*owner);
    if (!enable && window == focus) lost_focus = true;
    EnableWindow(window, enable);
  }
  // A disabled window keeps no focus: move it on as Tab would, so keys still reach the form.
  if (lost_focus && dialog_) {
    const HWND next = GetNextDlgTabItem(dialog_, focus, FALSE);
    if (next) SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
  }
}

void DialogBackend::apply_visible(const Control& control) {
  if (control.kind() == ControlKind::TabSheet) return;
  std::vector<std::pair<const Control*, HWND>> affected;
  collect_windows(*this, form_, control, affected);
  const HWND focus = GetFocus();
  bool lost_focus = false;
  for (const auto& [owner, window] : affected) {
    if (owner->kind() == ControlKind::TabSheet) continue;  // the page control decides
    const bool show = shown(*owner);
    if (!show && (window == focus || IsChild(window, focus))) lost_focus = true;
    ShowWindow(window, show ? SW_SHOWNA : SW_HIDE);
  }
  if (control.kind() == ControlKind::PageControl) show_page(control);
  if (lost_focus && dialog_) {
    const HWND next = GetNextDlgTabItem(dialog_, focus, FALSE);
    if (next) SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
  }
}

void DialogBackend::apply_checked(const Control& control) {
  const ControlWindows& made = *windows_of(control);
  if (control.kind() != ControlKind::RadioButton && control.kind() != ControlKind::CheckBox) return;
  SendMessageW(made.window, BM_SETCHECK, control.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  if (control.kind() == ControlKind::RadioButton) apply_group_tab_stops(control);
}

// Tab reaches a group of radio buttons at its checked one only, as in the class library: a group
// with none checked is skipped, so the focus never lands on (and clicks) an unchecked one.
void DialogBackend::apply_group_tab_stops(const Control& control) {
  if (control.kind() == ControlKind::RadioGroup) {
    const ControlWindows& made = *windows_of(control);
    for (std::size_t i = 0; i < made.choices.size(); ++i) {
      set_style_bit(made.choices[i], WS_TABSTOP,
                    control.tab_stop && static_cast<int>(i) == control.item_index());
    }
    return;
  }
  for (const Control* sibling : children_of(control.parent())) {
    if (sibling->kind() != ControlKind::RadioButton || !windows_of(*sibling)) continue;
    set_style_bit(windows_of(*sibling)->window, WS_TABSTOP,
                  sibling->tab_stop && sibling->checked());
  }
}

void DialogBackend::apply_items(Control& control) {
  ControlWindows& made = windows_.at(&control);
  if (control.kind() == ControlKind::ListBox) {
    const HWND list = made.window;
    const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const ListEntry& entry : control.items()) {
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry.text).c_str()));
    }
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  } else if (control.kind() == ControlKind::RadioGroup) {
    if (made.choices.size() == control.items().size()) {
      for (std::size_t i = 0; i < made.choices.size(); ++i) {
        set_window_text(made.choices[i], wide(control.items()[i].text));
      }
    } else {
      // New choices go just above the frame, where the first ones were made.
      create_radio_choices(control, made.parent);
      HWND after = made.window ? GetWindow(made.window, GW_HWNDPREV) : nullptr;
      for (const HWND choice : windows_.at(&control).choices) {
        if (choice == after) continue;
        SetWindowPos(choice, after ? after : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = choice;
      }
      apply_enabled(control);
      apply_visible(control);
    }
  } else {
    return;
  }
  apply_item_index(control);
}

void DialogBackend::apply_item_index(Control& control) {
  const ControlWindows& made = *windows_of(control);
  switch (control.kind()) {
    case ControlKind::ListBox:
      SendMessageW(made.window, LB_SETCURSEL, static_cast<WPARAM>(control.item_index()), 0);
      break;
    case ControlKind::RadioGroup:
      for (std::size_t i = 0; i < made.choices.size(); ++i) {
        SendMessageW(made.choices[i], BM_SETCHECK,
                     static_cast<int>(i) == control.item_index() ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      apply_group_tab_stops(control);
      break;
    case ControlKind::PageControl:
      show_page(control);
      break;
    default:
      break;
  }
}

void DialogBackend::show_page(const Control& pages) {
  const ControlWindows& made = *windows_of(pages);
  const int index = pages.item_index();
  if (index >= 0 && SendMessageW(made.window, TCM_GETCURSEL, 0, 0) != index) {
    SendMessageW(made.window, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  const std::vector<Control*> sheets = sheets_of(pages);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const bool front = static_cast<int>(i) == index && shown(pages);
    ShowWindow(windows_of(*sheets[i])->window, front ? SW_SHOWNA : SW_HIDE);
  }
  // The focus may stay on a control of the page just hidden: give it to the tab strip.
  const HWND focus = GetFocus();
  if (focus && !IsWindowVisible(focus) && IsWindowVisible(made.window) && dialog_) {
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(made.window), TRUE);
  }
}

void DialogBackend::apply_hint(const Control& control) {
  if (!tooltip_) return;
  const ControlWindows& made = *windows_of(control);
  std::wstring hint = wide(control.hint());
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = dialog_;
  tool.uId = reinterpret_cast<UINT_PTR>(made.window);
  tool.lpszText = hint.data();
  if (hint.empty()) {
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  TTTOOLINFOW existing = tool;
  existing.lpszText = nullptr;
  if (SendMessageW(tooltip_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&existing))) {
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

// The dialog manager finds the default button for Enter by its ID, but restyles only its
// direct children: buttons on pages are restyled here. A focused push button stays the
// default while it has the focus, as the dialog manager made it.
void DialogBackend::apply_default() {
  const Control* chosen = nullptr;
  for (const auto& control : form_.controls()) {
    if (control->kind() == ControlKind::Button && control->is_default()) {
      chosen = control.get();
      break;
    }
  }
  SendMessageW(dialog_, DM_SETDEFID, chosen ? windows_of(*chosen)->id : IDOK, 0);
  const HWND focus = GetFocus();
  const Control* focused = control_of(focus);
  const bool button_focused = focused && focused->kind() == ControlKind::Button;
  for (const auto& control : form_.controls()) {
    if (control->kind() != ControlKind::Button) continue;
    const HWND button = windows_of(*control)->window;
    const bool looks_default = button_focused ? button == focus : control.get() == chosen;
    SendMessageW(button, BM_SETSTYLE, looks_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

void DialogBackend::apply_focus(const Control& control) {
  const ControlWindows& made = *windows_of(control);
  HWND target = made.window;
  if (control.kind() == ControlKind::RadioGroup && !made.choices.empty()) {
    target = made.choices[static_cast<std::size_t>(std::max(0, control.item_index()))];
  } else if (control.kind() == ControlKind::TabSheet) {
    target = GetNextDlgTabItem(made.window, nullptr, FALSE);
  }
  if (target && IsWindowVisible(target) && IsWindowEnabled(target)) {
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
  }
}

}  // namespace forms::win32
