// The form layer shown as real dialogs under Wine and driven as a user would: the form runs
// modally on a thread of its own while the test's thread finds its windows, clicks, types,
// pastes, drags and presses keys, then reads back the windows and the model.
//
//   forms_win32_test.exe [gtest flags]     the tests
//   forms_win32_test.exe --show NAME       shows a form (sample, pages) until it is closed

#include <gtest/gtest.h>
// commctrl.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstring>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/form.h"
#include "text/wide.h"
#include "win32/window_test_support.h"

namespace {

using namespace win32_test;

using forms::Bounds;
using forms::Control;
using forms::ControlKind;
using forms::Form;
using forms::ListEntry;

// Absent from the mingw headers; DefWindowProc turns it into WM_HELP.
constexpr UINT kKeyF1Message = 0x004D;

std::string sjis(const std::wstring& wide) { return text::wide_to_sjis_exact(wide).value(); }
std::wstring wide(const std::string& sjis_text) { return text::sjis_to_wide(sjis_text); }

forms::Font ui_font(bool bold = false, bool underline = false) {
  return {sjis(L"MS UI Gothic"), -12, bold, underline};
}
forms::Font fixed_font() { return {sjis(L"ＭＳ ゴシック"), -12, false, false}; }

std::vector<HWND> thread_windows(HWND of) {
  std::vector<HWND> found;
  EnumThreadWindows(GetWindowThreadProcessId(of, nullptr), collect_window,
                    reinterpret_cast<LPARAM>(&found));
  return found;
}

Bounds bounds_in(HWND dialog, HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The innermost visible window at a point of the dialog's client area, as a click finds it.
HWND window_at(HWND dialog, int x, int y) {
  HWND best = nullptr;
  long best_area = 0;
  for (const HWND child : descendants(dialog)) {
    if (!IsWindowVisible(child)) continue;
    const Bounds b = bounds_in(dialog, child);
    const long area = static_cast<long>(b.width) * b.height;
    if (x >= b.left && y >= b.top && x < b.left + b.width && y < b.top + b.height &&
        (!best || area < best_area)) {
      best = child;
      best_area = area;
    }
  }
  return best;
}

std::vector<std::wstring> model_texts(const Control& list) {
  std::vector<std::wstring> texts;
  for (const ListEntry& entry : list.items()) texts.push_back(wide(entry.text));
  return texts;
}

LOGFONTW font_of(HWND window) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  GetObjectW(handle, sizeof font, &font);
  return font;
}

void set_clipboard(const std::wstring& text) {
  // The clipboard wants an owner window of a running thread: this one's.
  static const HWND owner =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(data), text.c_str(), bytes);
  GlobalUnlock(data);
  SetClipboardData(CF_UNICODETEXT, data);
  CloseClipboard();
}

// A form shown modally on a thread of its own.
class ShownForm {
 public:
  explicit ShownForm(Form& form, int left = 120, int top = 90) : form_(form) {
    options_.left = left;
    options_.top = top;
    thread_ = CreateThread(nullptr, 0, &ShownForm::run, this, 0, &thread_id_);
  }
  ~ShownForm() {
    if (!ended(0)) {
      if (dialog_) PostMessageW(dialog_, WM_CLOSE, 0, 0);
      ended();
    }
    CloseHandle(thread_);
  }
  ShownForm(const ShownForm&) = delete;
  ShownForm& operator=(const ShownForm&) = delete;

  // The dialog once it is shown; null when none came.
  HWND dialog() {
    if (!dialog_) {
      eventually([&] {
        EnumThreadWindows(thread_id_, &ShownForm::find_dialog, reinterpret_cast<LPARAM>(&dialog_));
        return dialog_ != nullptr;
      });
    }
    return dialog_;
  }
  bool ended(DWORD patience = kPatienceMs) {
    return WaitForSingleObject(thread_, patience) == WAIT_OBJECT_0;
  }
  std::optional<int> result() {
    if (!ended()) return std::nullopt;
    return result_;
  }
  HWND focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread_id_, &info);
    return info.hwndFocus;
  }
  // A key through the dialog's message loop, to the focused control.
  void post_key(WPARAM key) const {
    const HWND target = focus();
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  }

 private:
  static DWORD WINAPI run(void* self) {
    auto& shown = *static_cast<ShownForm*>(self);
    shown.result_ = shown.form_.show_modal(shown.options_);
    return 0;
  }
  static BOOL CALLBACK find_dialog(HWND window, LPARAM found) {
    if (class_of(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }

  Form& form_;
  forms::ShowOptions options_;
  HANDLE thread_ = nullptr;
  DWORD thread_id_ = 0;
  HWND dialog_ = nullptr;
  int result_ = 0;
};

// A form with every kind of control but pages. Texts are Japanese, so a missing code page 932
// conversion shows.
struct SampleForm : Form {
  SampleForm()
      : Form("Sample", 400, 300),
        Group(add(ControlKind::GroupBox, "Group", nullptr, {12, 12, 180, 176})),
        Heading(add(ControlKind::Label, "Heading", &Group, {16, 20, 65, 12})),
        Divider(add(ControlKind::Bevel, "Divider", &Group, {92, 20, 3, 140})),
        Artist(add(ControlKind::RadioButton, "Artist", &Group, {12, 40, 75, 17})),
        Title(add(ControlKind::RadioButton, "Title", &Group, {12, 64, 75, 17})),
        Album(add(ControlKind::RadioButton, "Album", &Group, {12, 88, 75, 17})),
        Vbr(add(ControlKind::CheckBox, "Vbr", &Group, {104, 40, 60, 17})),
        Literal(add(ControlKind::Edit, "Literal", &Group, {104, 64, 64, 20})),
        Fill(add(ControlKind::RadioGroup, "Fill", nullptr, {204, 12, 184, 52})),
        Separator(add(ControlKind::LabeledEdit, "Separator", nullptr, {300, 76, 25, 20})),
        Items(add(ControlKind::ListBox, "Items", nullptr, {204, 106, 184, 82})),
        Sample(add(ControlKind::Panel, "Sample", nullptr, {12, 200, 376, 25})),
        Ok(add(ControlKind::Button, "Ok", nullptr, {244, 260, 66, 25})),
        Cancel(add(ControlKind::Button, "Cancel", nullptr, {322, 260, 66, 25})) {
    font = ui_font();
    help_context = 301;
    set_caption(sjis(L"フォームの試験"));
    Group.set_text(sjis(L"<MP3ファイル情報>"));
    Group.font = ui_font(true);
    Heading.set_text(sjis(L"ID3タグ情報"));
    Heading.font = ui_font(true, true);
    Divider.bevel_shape = forms::BevelShape::LeftLine;
    Artist.set_text(sjis(L"アーティスト"));
    Artist.set_checked(true);
    Title.set_text(sjis(L"曲名"));
    Album.set_text(sjis(L"アルバム"));
    Vbr.set_text("VBR");
    Literal.font = fixed_font();
    Fill.set_text(sjis(L"左余白"));
    Fill.columns = 2;
    Fill.set_items({{sjis(L"ゼロ詰め"), 0}, {sjis(L"空白詰め"), 1}});
    Fill.set_item_index(0);
    Separator.label = sjis(L"区切り文字");
    Separator.max_length = 2;
    Separator.font = fixed_font();
    Items.set_items({{"A", 10}, {"B", 11}, {"C", 12}, {"D", 13}});
    Sample.lowered = true;
    Sample.font = fixed_font();
    Sample.set_text("/m<P>");
    Sample.set_hint(sjis(L"見本の全文"));
    Ok.set_text("OK");
    Ok.set_default(true);
    Ok.modal_result = forms::kModalOk;
    Cancel.set_text("CANCEL");
    Cancel.cancel = true;
    Cancel.modal_result = forms::kModalCancel;
  }
  Control& Group;
  Control& Heading;
  Control& Divider;
  Control& Artist;
  Control& Title;
  Control& Album;
  Control& Vbr;
  Control& Literal;
  Control& Fill;
  Control& Separator;
  Control& Items;
  Control& Sample;
  Control& Ok;
  Control& Cancel;
};

// Two pages over the whole client area, with OK and CANCEL lying over the pages' corner.
struct PagesForm : Form {
  PagesForm()
      : Form("Pages", 312, 309),
        Pages(add(ControlKind::PageControl, "Pages", nullptr, {0, 0, 312, 309})),
        First(add(ControlKind::TabSheet, "First", &Pages, {})),
        Second(add(ControlKind::TabSheet, "Second", &Pages, {})),
        Name(add(ControlKind::Edit, "Name", &First, {14, 20, 123, 20})),
        Box(add(ControlKind::GroupBox, "Box", &Second, {16, 8, 273, 150})),
        Rate(add(ControlKind::LabeledEdit, "Rate", &Box, {64, 20, 73, 20})),
        Ok(add(ControlKind::Button, "Ok", nullptr, {155, 266, 62, 25})),
        Cancel(add(ControlKind::Button, "Cancel", nullptr, {227, 266, 62, 25})) {
    font = ui_font();
    help_context = 201;
    set_caption(sjis(L"ページの試験"));
    First.set_text(sjis(L"デフォルト値"));
    First.help_context = 201;
    Second.set_text(sjis(L"ビットレート"));
    Second.help_context = 204;
    Box.set_text(sjis(L"ビットレート(bits/s)"));
    Rate.label = "32K";
    Ok.set_text("OK");
    Ok.modal_result = forms::kModalOk;
    Cancel.set_text("CANCEL");
    Cancel.cancel = true;
    Cancel.modal_result = forms::kModalCancel;
  }
  Control& Pages;
  Control& First;
  Control& Second;
  Control& Name;
  Control& Box;
  Control& Rate;
  Control& Ok;
  Control& Cancel;
};

class FormsWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    forms::set_error_box([this](const std::string& message) { errors.push_back(message); });
    forms::set_help_function([this](int context) { helped.push_back(context); });
  }
  void TearDown() override {
    forms::set_error_box(nullptr);
    forms::set_help_function(nullptr);
  }
  std::vector<std::string> errors;
  std::vector<int> helped;
};

TEST_F(FormsWin32Test, Layout_FormAndControlsAtTheirPixels) {
  SampleForm form;
  ShownForm shown(form, 123, 45);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);

  RECT outer;
  GetWindowRect(dialog, &outer);
  int width = 0;
  int height = 0;
  form.outer_size(width, height);
  EXPECT_EQ(outer.left, 123);
  EXPECT_EQ(outer.top, 45);
  EXPECT_EQ(outer.right - outer.left, width);
  EXPECT_EQ(outer.bottom - outer.top, height);
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 300);
  EXPECT_EQ(text_of(dialog), L"フォームの試験");

  struct Case {
    const char* what;
    std::wstring text;
    Bounds expected;  // client coordinates of the dialog
  } cases[] = {
      {"button", L"OK", {244, 260, 66, 25}},
      {"group box", L"<MP3ファイル情報>", {12, 12, 180, 176}},
      {"label in a group box: offset by its origin", L"ID3タグ情報", {28, 32, 65, 12}},
      {"radio button in a group box", L"アーティスト", {24, 52, 75, 17}},
      {"check box in a group box", L"VBR", {116, 52, 60, 17}},
      {"radio group", L"左余白", {204, 12, 184, 52}},
      {"panel", L"/m<P>", {12, 200, 376, 25}},
  };
  for (const Case& c : cases) {
    const HWND window = window_with_text(dialog, c.text);
    ASSERT_NE(window, nullptr) << c.what;
    EXPECT_EQ(bounds_in(dialog, window), c.expected) << c.what;
  }
  struct Placed {
    const char* what;
    Bounds expected;
    const wchar_t* window_class;
  } placed[] = {
      {"edit in a group box", {116, 76, 64, 20}, L"Edit"},
      {"bevel in a group box", {104, 32, 3, 140}, L"Static"},
      {"list box", {204, 106, 184, 82}, L"ListBox"},
      {"labelled edit", {300, 76, 25, 20}, L"Edit"},
  };
  for (const Placed& p : placed) {
    const HWND window = window_at(dialog, p.expected.left + 1, p.expected.top + 1);
    ASSERT_NE(window, nullptr) << p.what;
    EXPECT_EQ(class_of(window), p.window_class) << p.what;
    EXPECT_EQ(bounds_in(dialog, window), p.expected) << p.what;
  }

  // The label sits left of its box, 3 pixels away, centred on the box's height.
  const HWND label = window_with_text(dialog, L"区切り文字");
  ASSERT_NE(label, nullptr);
  const Bounds label_at = bounds_in(dialog, label);
  EXPECT_EQ(label_at.left + label_at.width, 300 - 3);
  EXPECT_NEAR(label_at.top + label_at.height / 2.0, 76 + 10, 1.0);

  // Two columns of choices below the caption's line.
  const HWND zero = window_with_text(dialog, L"ゼロ詰め");
  const HWND blank = window_with_text(dialog, L"空白詰め");
  ASSERT_TRUE(zero && blank);
  EXPECT_EQ(bounds_in(dialog, zero).left, 204 + 8);
  EXPECT_EQ(bounds_in(dialog, blank).left, 204 + 8 + (184 - 10) / 2);
  EXPECT_EQ(bounds_in(dialog, zero).top, bounds_in(dialog, blank).top);
  EXPECT_EQ(SendMessageW(zero, BM_GETCHECK, 0, 0), BST_CHECKED);

  struct FontCase {
    const wchar_t* text;
    const wchar_t* face;
    LONG weight;
    BYTE underline;
  } fonts[] = {
      {L"アーティスト", L"MS UI Gothic", FW_NORMAL, FALSE},
      {L"<MP3ファイル情報>", L"MS UI Gothic", FW_BOLD, FALSE},
      {L"ID3タグ情報", L"MS UI Gothic", FW_BOLD, TRUE},
      {L"/m<P>", L"ＭＳ ゴシック", FW_NORMAL, FALSE},
  };
  for (const FontCase& f : fonts) {
    const LOGFONTW font = font_of(window_with_text(dialog, f.text));
    EXPECT_STREQ(font.lfFaceName, f.face) << f.text;
    EXPECT_EQ(font.lfHeight, -12) << f.text;
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET) << f.text;
    EXPECT_EQ(font.lfWeight, f.weight) << f.text;
    EXPECT_EQ(font.lfUnderline, f.underline) << f.text;
  }

  const HWND ok = window_with_text(dialog, L"OK");
  const HWND cancel = window_with_text(dialog, L"CANCEL");
  // Where the pointer is sent to reach a button: its place on the screen.
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  const std::optional<Bounds> on_screen = form.backend()->screen_bounds(form.Ok);
  ASSERT_TRUE(on_screen);
  EXPECT_EQ(*on_screen, (Bounds{origin.x + 244, origin.y + 260, 66, 25}));
  EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(cancel, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_EQ(list_texts(window_at(dialog, 210, 110)),
            (std::vector<std::wstring>{L"A", L"B", L"C", L"D"}));

  SendMessageW(cancel, BM_CLICK, 0, 0);
  EXPECT_EQ(shown.result(), forms::kModalCancel);
}

// The hint is the panel's tooltip, and follows the model.
TEST_F(FormsWin32Test, Hint_IsTheTooltipOfItsControl) {
  SampleForm form;
  form.Ok.on_click = [&](Control&) { form.Sample.set_hint(sjis(L"新しいヒント")); };
  form.Ok.modal_result = 0;
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const HWND panel = window_with_text(dialog, L"/m<P>");
  const auto tip_of = [&] {
    HWND tooltip = nullptr;
    for (const HWND window : thread_windows(dialog)) {
      if (class_of(window) == TOOLTIPS_CLASSW) tooltip = window;
    }
    wchar_t text[128] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(panel);
    tool.lpszText = text;
    if (tooltip) SendMessageW(tooltip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    return std::wstring(text);
  };
  EXPECT_EQ(tip_of(), L"見本の全文");
  SendMessageW(window_with_text(dialog, L"OK"), BM_CLICK, 0, 0);
  EXPECT_EQ(tip_of(), L"新しいヒント");
}

// Radio buttons and check boxes are not automatic: the model checks them and the windows
// follow; a click on the checked radio button runs nothing.
TEST_F(FormsWin32Test, Click_ModelDecidesAndWindowsFollow) {
  SampleForm form;
  std::vector<std::string> clicked;
  const auto record = [&](Control& sender) {
    clicked.push_back(sender.name());
    form.Sample.set_text("/m<" + sender.name().substr(0, 1) + ">");
  };
  form.Artist.on_click = record;
  form.Title.on_click = record;
  form.Vbr.on_click = [&](Control& sender) {
    clicked.push_back(sender.name());
    form.Literal.set_enabled(sender.checked());
    form.Literal.set_color(sender.checked() ? Control::kWindowColor : Control::kButtonFaceColor);
  };
  form.Fill.on_click = [&](Control& sender) {
    clicked.push_back("Fill" + std::to_string(sender.item_index()));
  };
  form.Literal.set_enabled(false);
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const HWND artist = window_with_text(dialog, L"アーティスト");
  const HWND title = window_with_text(dialog, L"曲名");
  const HWND vbr = window_with_text(dialog, L"VBR");
  const HWND blank = window_with_text(dialog, L"空白詰め");
  const HWND literal = window_at(dialog, 117, 77);

  SendMessageW(title, BM_CLICK, 0, 0);
  EXPECT_TRUE(form.Title.checked());
  EXPECT_FALSE(form.Artist.checked());
  EXPECT_EQ(SendMessageW(title, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(artist, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(text_of(window_with_text(dialog, L"/m<T>")), L"/m<T>");
  SendMessageW(title, BM_CLICK, 0, 0);

  EXPECT_FALSE(IsWindowEnabled(literal));
  SendMessageW(vbr, BM_CLICK, 0, 0);
  EXPECT_TRUE(form.Vbr.checked());
  EXPECT_EQ(SendMessageW(vbr, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(literal));

  SendMessageW(blank, BM_CLICK, 0, 0);
  EXPECT_EQ(form.Fill.item_index(), 1);
  EXPECT_EQ(SendMessageW(blank, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(window_with_text(dialog, L"ゼロ詰め"), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  // A state the model changes by itself reaches the windows too.
  form.Fill.on_click = nullptr;
  form.Ok.modal_result = 0;
  form.Ok.on_click = [&](Control&) {
    form.Artist.set_checked(true);
    form.Fill.set_item_index(0);
    form.Vbr.set_visible(false);
  };
  SendMessageW(window_with_text(dialog, L"OK"), BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(artist, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(title, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(window_with_text(dialog, L"ゼロ詰め"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(IsWindowVisible(vbr));

  EXPECT_EQ(clicked, (std::vector<std::string>{"Title", "Vbr", "Fill1"}));
  shown.post_key(VK_ESCAPE);
  EXPECT_EQ(shown.result(), forms::kModalCancel);
}

// Typed and pasted characters pass the key handler (ASCII), need an exact code page 932 form
// and must fit the limit in Shift-JIS bytes; the model gets the text as Shift-JIS.
TEST_F(FormsWin32Test, Edit_TypedAndPastedCharacters) {
  struct Case {
    const char* what;
    int max_length;
    std::wstring typed;
    std::wstring pasted;
    std::wstring expected;
  } cases[] = {
      {"a refused key is not inserted", 0, L"/a", L"", L"a"},
      {"the handler's replacement is inserted", 0, L"-", L"", L"_"},
      {"kana pass as two bytes", 0, L"あｱ", L"", L"あｱ"},
      {"no exact Shift-JIS form: refused, not best-fit", 0, L"\u00A5e\u00E9", L"", L"e"},
      {"a paste loses what typing would", 0, L"", L"x/y\u00A5あ", L"xyあ"},
      {"a paste keeps its first line only", 0, L"", L"ab\r\ncd", L"ab"},
      {"the limit counts bytes: two one-byte characters", 2, L"abc", L"", L"ab"},
      {"the limit counts bytes: one two-byte character", 2, L"あい", L"", L"あ"},
      {"a two-byte character does not fit after one byte", 2, L"aあb", L"", L"ab"},
      {"a paste is cut to the limit", 2, L"", L"ｱいう", L"ｱ"},
  };
  Form form("Edits", 200, 20 + 24 * static_cast<int>(std::size(cases)));
  form.set_caption(sjis(L"入力の試験"));
  form.font = ui_font();
  std::string keys;
  std::vector<std::string> changes;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    Control& edit = form.add(ControlKind::Edit, "Edit" + std::to_string(i), nullptr,
                             {10, 10 + 24 * static_cast<int>(i), 120, 20});
    edit.max_length = cases[i].max_length;
    edit.on_key_press = [&](Control&, char& key) {
      keys += key;
      if (key == '/') key = 0;
      if (key == '-') key = '_';
    };
    edit.on_change = [&](Control& sender) { changes.push_back(sender.text()); };
  }
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.what);
    const HWND box = window_at(dialog, 15, 15 + 24 * static_cast<int>(i));
    keys.clear();
    changes.clear();
    for (const wchar_t ch : c.typed) SendMessageW(box, WM_CHAR, ch, 1);
    if (!c.pasted.empty()) {
      set_clipboard(c.pasted);
      SendMessageW(box, WM_PASTE, 0, 0);
    }
    EXPECT_EQ(text_of(box), c.expected);
    EXPECT_EQ(form.controls()[i]->text(), sjis(c.expected));
    if (!c.expected.empty()) {
      ASSERT_FALSE(changes.empty());
      EXPECT_EQ(changes.back(), sjis(c.expected));
    }
    if (c.typed == L"/a") {
      EXPECT_EQ(keys, "/a");
    }
  }
  shown.post_key(VK_ESCAPE);
  EXPECT_EQ(shown.result(), forms::kModalCancel);
}

// A text the model sets reaches the box without running the change handler again, and one
// the handler rewrites shows as the model holds it.
TEST_F(FormsWin32Test, Edit_ModelTextReachesTheBox) {
  SampleForm form;
  int changes = 0;
  form.Literal.on_change = [&](Control& sender) {
    ++changes;
    if (sender.text() == "abc") sender.set_text("ABC");
  };
  form.Ok.modal_result = 0;
  form.Ok.on_click = [&](Control&) { form.Literal.set_text(sjis(L"見本")); };
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const HWND literal = window_at(dialog, 117, 77);
  SendMessageW(window_with_text(dialog, L"OK"), BM_CLICK, 0, 0);
  EXPECT_EQ(text_of(literal), L"見本");
  EXPECT_EQ(changes, 0);
  SetWindowTextW(literal, L"abc");
  EXPECT_EQ(text_of(literal), L"ABC");
  EXPECT_EQ(form.Literal.text(), "ABC");
}

// Enter presses the model's default button, also after it moved while shown; Esc the cancel
// button; the close box cancels.
TEST_F(FormsWin32Test, Keys_EnterEscAndCloseBox) {
  enum class Way { Enter, EnterAfterDefaultMoved, Esc, EscWithoutCancelButton, CloseBox };
  struct Case {
    const char* what;
    Way way;
    int expected;
    std::vector<std::string> clicked;
  } cases[] = {
      {"Enter: the default button", Way::Enter, forms::kModalOk, {"Ok"}},
      {"Enter after the default moved",
       Way::EnterAfterDefaultMoved,
       forms::kModalCancel,
       {"Title", "Cancel"}},
      {"Esc: the cancel button", Way::Esc, forms::kModalCancel, {"Cancel"}},
      {"Esc without a cancel button", Way::EscWithoutCancelButton, forms::kModalCancel, {}},
      {"close box", Way::CloseBox, forms::kModalCancel, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SampleForm form;
    std::vector<std::string> clicked;
    const auto record = [&](Control& sender) { clicked.push_back(sender.name()); };
    form.Ok.on_click = record;
    form.Cancel.on_click = record;
    form.Title.on_click = [&](Control& sender) {
      record(sender);
      form.Ok.set_default(false);
      form.Cancel.set_default(true);
    };
    if (c.way == Way::EscWithoutCancelButton) form.Cancel.cancel = false;
    ShownForm shown(form);
    const HWND dialog = shown.dialog();
    ASSERT_NE(dialog, nullptr);
    // Keys come from a control that is no button, as after typing in a box.
    const HWND literal = window_at(dialog, 117, 77);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(literal), TRUE);
    switch (c.way) {
      case Way::Enter:
        shown.post_key(VK_RETURN);
        break;
      case Way::EnterAfterDefaultMoved: {
        SendMessageW(window_with_text(dialog, L"曲名"), BM_CLICK, 0, 0);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(literal), TRUE);
        const HWND cancel = window_with_text(dialog, L"CANCEL");
        EXPECT_EQ(GetWindowLongW(cancel, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        EXPECT_EQ(GetWindowLongW(window_with_text(dialog, L"OK"), GWL_STYLE) & BS_TYPEMASK,
                  BS_PUSHBUTTON);
        shown.post_key(VK_RETURN);
        break;
      }
      case Way::Esc:
      case Way::EscWithoutCancelButton:
        shown.post_key(VK_ESCAPE);
        break;
      case Way::CloseBox:
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    EXPECT_EQ(shown.result(), c.expected);
    EXPECT_EQ(clicked, c.clicked);
  }
}

// Tab follows the tab order of the description (not the declaration order) and reaches a group
// of radio buttons at its checked one; an arrow key moves to the next one and checks it.
TEST_F(FormsWin32Test, Keys_TabOrderAndArrowsInARadioGroup) {
  SampleForm form;
  form.Literal.tab_order = -1;  // declared last in its group box, first in tab order
  std::vector<std::string> clicked;
  form.Title.on_click = [&](Control& sender) { clicked.push_back(sender.name()); };
  form.Fill.on_click = [&](Control& sender) {
    clicked.push_back("Fill" + std::to_string(sender.item_index()));
  };
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const HWND literal = window_at(dialog, 117, 77);
  const std::vector<HWND> expected = {window_with_text(dialog, L"アーティスト"),
                                      window_with_text(dialog, L"VBR"),
                                      window_with_text(dialog, L"ゼロ詰め"),
                                      window_at(dialog, 305, 80),
                                      window_at(dialog, 210, 110),
                                      window_with_text(dialog, L"OK"),
                                      window_with_text(dialog, L"CANCEL"),
                                      literal};
  EXPECT_EQ(shown.focus(), literal);
  std::vector<HWND> visited;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const HWND before = shown.focus();
    shown.post_key(VK_TAB);
    eventually([&] { return shown.focus() != before; });
    visited.push_back(shown.focus());
  }
  EXPECT_EQ(visited, expected);

  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(expected[0]), TRUE);
  shown.post_key(VK_DOWN);
  EXPECT_TRUE(eventually([&] { return shown.focus() == window_with_text(dialog, L"曲名"); }));
  EXPECT_TRUE(eventually([&] {
    return SendMessageW(window_with_text(dialog, L"曲名"), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }));
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(expected[2]), TRUE);
  shown.post_key(VK_RIGHT);
  EXPECT_TRUE(eventually([&] { return form.Fill.item_index() == 1; }));
  EXPECT_EQ(clicked, (std::vector<std::string>{"Title", "Fill1"}));
  EXPECT_TRUE(form.Title.checked());
  EXPECT_FALSE(form.Artist.checked());
}

// The model moves the focus; a control it disables or hides hands the focus on.
TEST_F(FormsWin32Test, Focus_FollowsTheModel) {
  SampleForm form;
  int presses = 0;
  form.Ok.modal_result = 0;
  form.Ok.on_click = [&](Control&) {
    if (++presses == 1) {
      form.Literal.set_enabled(false);
    } else {
      form.Items.set_focus();
    }
  };
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const HWND literal = window_at(dialog, 117, 77);
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(literal), TRUE);
  shown.post_key(VK_RETURN);
  EXPECT_TRUE(eventually([&] { return !IsWindowEnabled(literal); }));
  SendMessageW(dialog, WM_NULL, 0, 0);  // the handler has returned
  const HWND focus = shown.focus();
  EXPECT_NE(focus, literal);
  EXPECT_TRUE(focus && IsWindowEnabled(focus) && IsWindowVisible(focus));
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window_at(dialog, 305, 80)), TRUE);
  shown.post_key(VK_RETURN);
  EXPECT_TRUE(eventually([&] { return shown.focus() == window_at(dialog, 210, 110); }));
}

// Enter does nothing while the default button is disabled; the form stays.
TEST_F(FormsWin32Test, Keys_EnterWithTheDefaultDisabledDoesNothing) {
  SampleForm form;
  int oks = 0;
  form.Ok.on_click = [&](Control&) { ++oks; };
  form.Ok.set_enabled(false);
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const HWND literal = window_at(dialog, 117, 77);
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(literal), TRUE);
  shown.post_key(VK_RETURN);
  // Posted messages keep their order: once the character is in, Enter was handled.
  PostMessageW(literal, WM_CHAR, 'x', 1);
  EXPECT_TRUE(eventually([&] { return text_of(literal) == L"x"; }));
  EXPECT_FALSE(shown.ended(0));
  EXPECT_EQ(oks, 0);
}

// A handler's exception goes to the error box and the form goes on; a button's modal result
// still closes it.
TEST_F(FormsWin32Test, Handler_ExceptionShowsErrorBoxAndFormGoesOn) {
  SampleForm form;
  const std::string message = sjis(L"ファイル C:\\設定\\mac.ini を作成できません");
  form.Title.on_click = [&](Control&) { throw std::runtime_error(message); };
  form.Ok.on_click = [&](Control&) { throw std::runtime_error("second"); };
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  SendMessageW(window_with_text(dialog, L"曲名"), BM_CLICK, 0, 0);
  EXPECT_EQ(errors, std::vector<std::string>{message});
  EXPECT_TRUE(form.Title.checked());
  EXPECT_FALSE(shown.ended(0));
  SendMessageW(window_with_text(dialog, L"OK"), BM_CLICK, 0, 0);
  EXPECT_EQ(shown.result(), forms::kModalOk);
  EXPECT_EQ(errors, (std::vector<std::string>{message, "second"}));
}

DWORD WINAPI error_box_thread(void* message) {
  forms::platform_error_box(sjis(*static_cast<const std::wstring*>(message)));
  return 0;
}

// The platform's error box: a Japanese caption and the message converted from Shift-JIS.
TEST_F(FormsWin32Test, ErrorBox_ShowsTheMessageInJapanese) {
  std::wstring message = L"ファイル C:\\表\\mac.ini を作成できません";
  const HANDLE thread = CreateThread(nullptr, 0, error_box_thread, &message, 0, nullptr);
  HWND box = nullptr;
  EXPECT_TRUE(eventually([&] {
    box = FindWindowW(L"#32770", L"エラー");
    return box != nullptr;
  }));
  if (box) {
    EXPECT_NE(window_with_text(box, message), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  EXPECT_EQ(WaitForSingleObject(thread, kPatienceMs), WAIT_OBJECT_0);
  CloseHandle(thread);
}

// F1 asks for help at the focused control's context, the nearest one around it, else the
// form's; the form's handler can stop it.
TEST_F(FormsWin32Test, Help_F1AtTheFocusedControl) {
  SampleForm form;
  form.Group.help_context = 10;
  bool go_on = true;
  form.on_help = [&](int) { return go_on; };
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const auto f1_at = [&](HWND control) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    const std::wstring marked = text_of(window_at(dialog, 117, 77)) + L"x";
    PostMessageW(shown.focus(), kKeyF1Message, 0, 0);
    PostMessageW(window_at(dialog, 117, 77), WM_CHAR, 'x', 1);  // a marker behind the key
    EXPECT_TRUE(eventually([&] { return text_of(window_at(dialog, 117, 77)) == marked; }));
  };
  f1_at(window_at(dialog, 117, 77));  // the edit inside the group box
  f1_at(window_with_text(dialog, L"OK"));
  go_on = false;
  f1_at(window_with_text(dialog, L"OK"));
  EXPECT_EQ(helped, (std::vector<int>{10, 301}));
}

// The form's activation runs its handler, inside the module's activation context (common
// controls 6.0).
TEST_F(FormsWin32Test, Activate_RunsHandlerWithVisualStyles) {
  SampleForm form;
  int activations = 0;
  bool styles_active = false;
  form.on_activate = [&] {
    ++activations;
    HANDLE context = nullptr;
    ACTIVATION_CONTEXT_BASIC_INFORMATION basic{};
    styles_active = GetCurrentActCtx(&context) && context &&
                    QueryActCtxW(0, context, nullptr, ActivationContextBasicInformation, &basic,
                                 sizeof basic, nullptr);
    if (context) ReleaseActCtx(context);
  };
  // A message box of a handler's own hands the activation back: no new activation.
  form.Ok.modal_result = 0;
  form.Ok.on_click = [&](Control&) {
    MessageBoxW(GetActiveWindow(), L"確認", L"ハンドラの箱", MB_OK);
  };
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(eventually([&] { return activations == 1; }));
  EXPECT_TRUE(styles_active);
  PostMessageW(window_with_text(dialog, L"OK"), BM_CLICK, 0, 0);
  HWND box = nullptr;
  ASSERT_TRUE(
      eventually([&] { return (box = FindWindowW(L"#32770", L"ハンドラの箱")) != nullptr; }));
  EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(eventually([&] { return !IsWindow(box); }));
  SendMessageW(dialog, WM_NULL, 0, 0);  // the dialog's thread is back in its own loop
  EXPECT_EQ(activations, 1);
}

// Colours: the model's, a system one, or the default.
TEST_F(FormsWin32Test, Color_EditPaintsWithTheModelsColour) {
  SampleForm form;
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const HWND literal = window_at(dialog, 117, 77);
  const HDC dc = CreateCompatibleDC(nullptr);
  struct Case {
    std::uint32_t color;
    COLORREF expected;
  } cases[] = {
      {0x00123456, RGB(0x56, 0x34, 0x12)},
      {Control::kButtonFaceColor, GetSysColor(COLOR_BTNFACE)},
      {Control::kDefaultColor, GetSysColor(COLOR_WINDOW)},
  };
  for (const Case& c : cases) {
    form.Literal.set_color(c.color);  // the form's thread is idle in its loop
    SetBkColor(dc, RGB(1, 2, 3));
    SendMessageW(GetParent(literal), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(literal));
    EXPECT_EQ(GetBkColor(dc), c.expected) << std::hex << c.color;
  }
  DeleteDC(dc);
}

// The list box: a click selects; a drag moves the entry live through the drag-over handler
// and drops on the list; a drag ending elsewhere tells the source there was no target.
TEST_F(FormsWin32Test, ListBox_ClickSelectsAndDragReorders) {
  SampleForm form;
  Control& list = form.Items;
  std::vector<int> selections;
  std::vector<std::string> drags;
  list.on_click = [&](Control& sender) { selections.push_back(sender.item_index()); };
  list.on_drag_over = [&](Control& sender, Control& source, int x, int y, bool& accept) {
    accept = true;
    const int from = sender.item_index();
    const int to = form.item_at_pos(sender, x, y);
    if (&source != &sender || from < 0 || to < 0 || to == from) return;
    std::vector<ListEntry> items = sender.items();
    const ListEntry moved = items[static_cast<std::size_t>(from)];
    items.erase(items.begin() + from);
    items.insert(items.begin() + to, moved);
    sender.set_items(items);
    sender.set_item_index(to);
  };
  list.on_drag_drop = [&](Control&, Control&, int, int) { drags.push_back("drop"); };
  list.on_end_drag = [&](Control&, Control* target) {
    drags.push_back(target ? "end on " + target->name() : "end nowhere");
  };
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const HWND box = window_at(dialog, 210, 110);
  ASSERT_EQ(class_of(box), L"ListBox");
  const auto drag = [&](int from, POINT to, HWND over) {
    const POINT start = centre_of_entry(box, from);
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.x, start.y + 5));
    MapWindowPoints(over, box, &to, 1);
    SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
  };

  const POINT one = centre_of_entry(box, 1);
  click_at(box, one.x, one.y);
  EXPECT_EQ(selections, std::vector<int>{1});
  EXPECT_TRUE(drags.empty());

  drag(0, centre_of_entry(box, 2), box);
  EXPECT_EQ(model_texts(list), (std::vector<std::wstring>{L"B", L"C", L"A", L"D"}));
  EXPECT_EQ(list_texts(box), model_texts(list));
  EXPECT_EQ(list.items()[2].data, 10);
  EXPECT_EQ(list.item_index(), 2);
  EXPECT_EQ(SendMessageW(box, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(drags, (std::vector<std::string>{"drop", "end on Items"}));

  drag(3, centre_of_entry(box, 1), box);
  EXPECT_EQ(model_texts(list), (std::vector<std::wstring>{L"B", L"D", L"C", L"A"}));

  // Below the last entry nothing moves; over the OK button nothing is dropped.
  drags.clear();
  RECT client;
  GetClientRect(box, &client);
  drag(0, {client.right / 2, client.bottom - 2}, box);
  EXPECT_EQ(model_texts(list), (std::vector<std::wstring>{L"B", L"D", L"C", L"A"}));
  const HWND ok = window_with_text(dialog, L"OK");
  drag(0, {10, 10}, ok);
  EXPECT_EQ(drags, (std::vector<std::string>{"drop", "end on Items", "end nowhere"}));
  EXPECT_EQ(selections, (std::vector<int>{1, 0, 3, 0, 0}));  // each drag selects where it starts
  EXPECT_FALSE(shown.ended(0));
}

// Pages: the tab strip shows the sheets; a click on a tab brings its page to the front and
// runs the change handler; help follows the page; the pages leave OK and CANCEL uncovered.
TEST_F(FormsWin32Test, Pages_SwitchAndHelpFollowThePage) {
  PagesForm form;
  std::vector<int> changes;
  form.Pages.on_change = [&](Control& sender) {
    changes.push_back(sender.item_index());
    form.help_context = sender.item_index() == 0 ? 201 : 204;
  };
  form.Ok.modal_result = 0;
  form.Ok.on_click = [&](Control&) { form.Pages.set_item_index(0); };
  ShownForm shown(form);
  const HWND dialog = shown.dialog();
  ASSERT_NE(dialog, nullptr);
  const HWND tab = window_at(dialog, 5, 5);
  ASSERT_EQ(class_of(tab), WC_TABCONTROLW);
  EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
  const auto edit_in_front = [&] { return window_at(dialog, 30, 60); };
  const HWND first_page_edit = edit_in_front();
  ASSERT_EQ(class_of(first_page_edit), L"Edit");

  RECT second_tab{};
  SendMessageW(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second_tab));
  click_at(tab, (second_tab.left + second_tab.right) / 2, (second_tab.top + second_tab.bottom) / 2);
  EXPECT_EQ(changes, std::vector<int>{1});
  EXPECT_EQ(form.Pages.item_index(), 1);
  EXPECT_FALSE(IsWindowVisible(first_page_edit));
  const HWND rate_label = window_with_text(dialog, L"32K");
  ASSERT_NE(rate_label, nullptr);
  EXPECT_TRUE(IsWindowVisible(rate_label));
  const HWND rate = window_at(
      dialog, bounds_in(dialog, rate_label).left + bounds_in(dialog, rate_label).width + 3 + 5,
      bounds_in(dialog, rate_label).top + 2);
  ASSERT_EQ(class_of(rate), L"Edit");
  // Relative to the page: the page's origin, then the group box's.
  const Bounds page = bounds_in(dialog, GetParent(rate));
  EXPECT_EQ(bounds_in(dialog, rate), (Bounds{page.left + 16 + 64, page.top + 8 + 20, 73, 20}));

  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(rate), TRUE);
  PostMessageW(shown.focus(), kKeyF1Message, 0, 0);
  EXPECT_TRUE(eventually([&] { return helped == std::vector<int>{204}; }));

  // OK lies over the page's corner: the page and the tab strip leave it out.
  const HWND ok = window_with_text(dialog, L"OK");
  const Bounds ok_at = bounds_in(dialog, ok);
  EXPECT_EQ(window_at(dialog, ok_at.left + 5, ok_at.top + 5), ok);
  for (const HWND covering : {tab, GetParent(rate)}) {
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(covering, region), ERROR);
    const Bounds at = bounds_in(dialog, covering);
    EXPECT_FALSE(PtInRegion(region, ok_at.left + 5 - at.left, ok_at.top + 5 - at.top));
    DeleteObject(region);
  }

  SendMessageW(ok, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(IsWindowVisible(first_page_edit));
  EXPECT_FALSE(IsWindowVisible(rate));
  EXPECT_EQ(changes, std::vector<int>{1});  // set by the model: no change event
}

int show_named_form(const std::string& name) {
  const auto show = [](Form& form) {
    int width = 0;
    int height = 0;
    form.outer_size(width, height);
    return form.show_modal({nullptr, (1024 - width) / 2, (768 - height) / 2});
  };
  if (name == "sample") {
    SampleForm form;
    return show(form);
  }
  if (name == "pages") {
    PagesForm form;
    return show(form);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--show") return show_named_form(argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
