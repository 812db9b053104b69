// The two dialogs of the real mac_Tunlex.dll, loaded and called the way a host does, and driven
// as a user would: the entry point runs on a thread of its own (it shows a modal dialog and
// returns when it closes) while the test's thread finds the windows, clicks and types.
//
//   dialogs_win32_test.exe [gtest flags]                 the tests
//   dialogs_win32_test.exe --show-setup-page N [INI]     shows the setup dialog at page N (1-7)
//                                                        until it is closed

#include <gtest/gtest.h>
// commctrl.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "plugin/mac_plugin_abi.h"
#include "support/mp3_builder.h"
#include "text/wide.h"
#include "win32/window_test_support.h"

namespace {

using namespace win32_test;

std::string sjis(const std::wstring& wide) { return text::wide_to_sjis_exact(wide).value(); }

// The visible windows of a class, in creation order.
std::vector<HWND> visible_of_class(HWND dialog, const std::wstring& window_class) {
  std::vector<HWND> found;
  for (const HWND child : descendants(dialog)) {
    if (IsWindowVisible(child) && class_of(child) == window_class) found.push_back(child);
  }
  return found;
}

// The edit box that a label names: the nearest one right of it, on its line.
HWND box_labelled(HWND dialog, const std::wstring& label_text) {
  const HWND label = window_with_text(dialog, label_text);
  if (!label) return nullptr;
  RECT label_at;
  GetWindowRect(label, &label_at);
  HWND best = nullptr;
  long best_left = 0;
  for (const HWND box : visible_of_class(dialog, L"Edit")) {
    RECT at;
    GetWindowRect(box, &at);
    const long middle = (at.top + at.bottom) / 2;
    if (at.left >= label_at.right && middle >= label_at.top - 4 && middle <= label_at.bottom + 4 &&
        (!best || at.left < best_left)) {
      best = box;
      best_left = at.left;
    }
  }
  return best;
}

void click_entry(HWND list, int index) {
  // An entry below the box's height is scrolled into view first, as a user would.
  SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
  const POINT at = centre_of_entry(list, index);
  click_at(list, at.x, at.y);
}

// A drag as the pointer makes it: down on an entry, a few pixels, then over the entry `to`,
// and up there. `between` runs while the button is still held.
void drag_entry(
    HWND list, int from, int to, const std::function<void()>& between = [] {}) {
  const POINT start = centre_of_entry(list, from);
  const POINT end = centre_of_entry(list, to);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
  SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.x, start.y + 5));
  SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end.x, end.y));
  between();
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
}

void click_tab(HWND dialog, int page) {
  const HWND tab = visible_of_class(dialog, WC_TABCONTROLW).at(0);
  RECT at{};
  SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&at));
  click_at(tab, (at.left + at.right) / 2, (at.top + at.bottom) / 2);
}

void click(HWND dialog, const std::wstring& caption) {
  const HWND button = window_with_text(dialog, caption);
  ASSERT_NE(button, nullptr) << "no window " << sjis(caption);
  SendMessageW(button, BM_CLICK, 0, 0);
}

// The captions drawn wider than their control leaves room for, with the control's own font:
// what a user would see cut. The room beside a radio or check box's glyph, a group box's
// frame and a button's edges is taken off.
std::vector<std::wstring> cut_captions(HWND dialog) {
  std::vector<std::wstring> cut;
  for (const HWND control : descendants(dialog)) {
    const std::wstring text = text_of(control);
    if (!IsWindowVisible(control) || text.empty()) continue;
    const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    long margin = 0;
    if (class_of(control) == WC_BUTTONW) {
      switch (style & BS_TYPEMASK) {
        case BS_RADIOBUTTON:
        case BS_CHECKBOX:
          margin = GetSystemMetrics(SM_CXMENUCHECK) + 4;
          break;
        case BS_GROUPBOX:
          margin = 12;
          break;
        default:
          margin = 4;
      }
    } else if (class_of(control) != WC_STATICW || (style & SS_TYPEMASK) != SS_LEFT) {
      continue;  // edit boxes scroll; the sample panels show the middle of a long text by design
    }
    RECT room;
    GetClientRect(control, &room);
    const HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE drawn{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &drawn);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (drawn.cx > room.right - margin) {
      cut.push_back(text + L" (" + std::to_wstring(drawn.cx) + L" > " +
                    std::to_wstring(room.right - margin) + L")");
    }
  }
  return cut;
}

std::string joined(const std::vector<std::wstring>& texts) {
  std::wstring all;
  for (const std::wstring& text : texts) all += text + L"\n";
  return sjis(all);
}

// A call into the plug-in on a thread of its own: a modal dialog's entry returns on closing.
class ModalCall {
 public:
  explicit ModalCall(std::function<void()> call) : call_(std::move(call)) {
    thread_ = CreateThread(nullptr, 0, &ModalCall::run, this, 0, &thread_id_);
  }
  ~ModalCall() {
    if (!ended(0)) {
      if (const HWND shown = window()) PostMessageW(shown, WM_CLOSE, 0, 0);
      ended();
    }
    CloseHandle(thread_);
  }
  ModalCall(const ModalCall&) = delete;
  ModalCall& operator=(const ModalCall&) = delete;

  // A visible dialog box of the call's thread, with this caption when one is given.
  HWND window(const std::optional<std::wstring>& caption = std::nullopt) const {
    HWND found = nullptr;
    eventually([&] {
      std::vector<HWND> windows;
      EnumThreadWindows(thread_id_, collect_window, reinterpret_cast<LPARAM>(&windows));
      for (const HWND candidate : windows) {
        if (class_of(candidate) == L"#32770" && IsWindowVisible(candidate) &&
            (!caption || text_of(candidate) == *caption)) {
          found = candidate;
        }
      }
      return found != nullptr;
    });
    return found;
  }
  bool ended(DWORD patience = kPatienceMs) const {
    return WaitForSingleObject(thread_, patience) == WAIT_OBJECT_0;
  }
  // A key through the dialog's message loop, to the focused control.
  void post_key(WPARAM key) const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread_id_, &info);
    PostMessageW(info.hwndFocus, WM_KEYDOWN, key, 1);
    PostMessageW(info.hwndFocus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  }

 private:
  static DWORD WINAPI run(void* self) {
    static_cast<ModalCall*>(self)->call_();
    return 0;
  }
  std::function<void()> call_;
  HANDLE thread_ = nullptr;
  DWORD thread_id_ = 0;
};

std::wstring scratch_folder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static int serial = 0;
  std::wstring folder = std::wstring(temp) + L"tunlex-dialogs-" +
                        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void write_file(const std::wstring& path, const std::string& contents) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
  CloseHandle(h);
}

std::string read_file(const std::wstring& path) {
  const HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "(missing)";
  std::string contents;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(h, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    contents.append(buffer, read);
  }
  CloseHandle(h);
  return contents;
}

// The DLL beside this program, loaded afresh: its module state starts as a host finds it.
class Plugin {
 public:
  Plugin() {
    module_ = LoadLibraryW((folder_of_this_program() + L"mac_Tunlex.dll").c_str());
    if (!module_) return;
    const auto entry = reinterpret_cast<MacPluginProc>(
        reinterpret_cast<void*>(GetProcAddress(module_, "macPlugin")));
    if (entry) entry(&table);
  }
  ~Plugin() {
    if (table.Term) table.Term();
    if (module_) FreeLibrary(module_);
  }
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  bool loaded() const { return table.Init && table.Param && table.Setup && table.Exec; }
  void init(const std::wstring& ini_path) {
    ini_ = sjis(ini_path);
    const TMacInitParam param{nullptr, ini_.c_str(), "mac_Tunlex"};
    table.Init(&param);
  }
  std::string exec(const std::wstring& folder, const std::wstring& file) {
    const std::string folder_sjis = sjis(folder);
    const std::string file_sjis = sjis(file);
    TMacExecRequest request{};
    request.Parameter = "";
    request.Folder = folder_sjis.c_str();
    request.FileName = file_sjis.c_str();
    request.ReadFlag = 1;
    const char* answer = table.Exec(&request);
    return answer ? answer : "(null)";
  }

  TMacPluginTable table{};

 private:
  HMODULE module_ = nullptr;
  std::string ini_;
};

// The rectangle the host asks the dialogs to be centred on.
constexpr TMacDialogRect kRect{100, 50, 301, 201};

void expect_centred(HWND dialog) {
  RECT outer;
  GetWindowRect(dialog, &outer);
  const long width = outer.right - outer.left;
  const long height = outer.bottom - outer.top;
  EXPECT_EQ(outer.left, 100 + 150 - width / 2);
  EXPECT_EQ(outer.top, 50 + 100 - height / 2);
}

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scratch_folder();
    ini = folder + L"\\settings.ini";
    ASSERT_TRUE(plugin.loaded()) << "cannot load mac_Tunlex.dll";
  }
  void TearDown() override {
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::wstring name : {L"settings.ini", L"song.mp3"}) {
      DeleteFileW((folder + L"\\" + name).c_str());
    }
    RemoveDirectoryW(folder.c_str());
  }

  // MacParam as a host calls it, on a thread of its own; the text returned lands in `result`.
  std::unique_ptr<ModalCall> param(std::optional<std::string>& result) {
    return std::make_unique<ModalCall>([this, &result] {
      const std::string caption = sjis(L"項目の選択");
      const TMacParamRequest request{0, 'm', caption.c_str()};
      const char* text = plugin.table.Param(&request, &kRect);
      result = text ? std::optional<std::string>(text) : std::nullopt;
    });
  }
  std::unique_ptr<ModalCall> setup() {
    return std::make_unique<ModalCall>([this] { plugin.table.Setup(&kRect); });
  }

  Plugin plugin;
  std::wstring folder;
  std::wstring ini;
};

// Parameter dialog --------------------------------------------------------------------------

const std::wstring kArtistItem = L"アーティスト <P>";
const std::wstring kAlbumItem = L"アルバム    <A>";
const std::wstring kGenreItem = L"ジャンル     <G>";

std::string host_lines() { return "; the host's own settings\r\n[Host]\r\nWindow=1,2,3\r\n\r\n"; }

TEST_F(DialogsTest, Param_OpensCentredOnTheStoredChoiceAndOkStoresTheNewOne) {
  write_file(ini, host_lines() + "[mac_Tunlex]\r\n; ours\r\nKind=2\r\nDefault=0\r\n");
  plugin.init(ini);

  std::optional<std::string> result = "unset";
  {
    const auto call = param(result);
    const HWND dialog = call->window();
    ASSERT_NE(dialog, nullptr);
    expect_centred(dialog);
    EXPECT_EQ(text_of(dialog), L"項目の選択");
    EXPECT_NE(window_with_text(dialog, L"/m<MP3ファイル情報>"), nullptr);
    EXPECT_EQ(SendMessageW(window_with_text(dialog, kAlbumItem), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(window_with_text(dialog, kArtistItem), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    EXPECT_NE(window_with_text(dialog, L"/m<A>"), nullptr);  // the sample

    click(dialog, kGenreItem);
    EXPECT_EQ(SendMessageW(window_with_text(dialog, kGenreItem), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(window_with_text(dialog, kAlbumItem), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_NE(window_with_text(dialog, L"/m<G>"), nullptr);
    click(dialog, L"OK");
    ASSERT_TRUE(call->ended());
  }
  EXPECT_EQ(result, std::optional<std::string>("/m<G>"));
  EXPECT_EQ(read_file(ini), host_lines() + "[mac_Tunlex]\r\n; ours\r\nKind=5\r\nDefault=0\r\n");

  // The next showing opens on the stored choice.
  const auto again = param(result);
  const HWND dialog = again->window();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendMessageW(window_with_text(dialog, kGenreItem), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(window_with_text(dialog, kAlbumItem), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  click(dialog, L"CANCEL");
  ASSERT_TRUE(again->ended());
  EXPECT_EQ(result, std::nullopt);
}

TEST_F(DialogsTest, Param_EscAndCancelReturnNothingAndStoreNothing) {
  const std::string contents = host_lines() + "[mac_Tunlex]\r\nKind=7\r\n";
  write_file(ini, contents);
  plugin.init(ini);

  for (const bool by_escape : {true, false}) {
    std::optional<std::string> result = "unset";
    {
      const auto call = param(result);
      const HWND dialog = call->window();
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(SendMessageW(window_with_text(dialog, L"ビットレート     <B>"), BM_GETCHECK, 0, 0),
                BST_CHECKED);
      click(dialog, kArtistItem);
      if (by_escape) {
        call->post_key(VK_ESCAPE);
      } else {
        click(dialog, L"CANCEL");
      }
      ASSERT_TRUE(call->ended()) << by_escape;
    }
    EXPECT_EQ(result, std::nullopt) << by_escape;
    EXPECT_EQ(read_file(ini), contents) << by_escape;
  }
}

TEST_F(DialogsTest, Param_EveryCaptionFitsItsControl) {
  plugin.init(ini);
  std::optional<std::string> result;
  const auto call = param(result);
  const HWND dialog = call->window();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(cut_captions(dialog).empty()) << joined(cut_captions(dialog));
  click(dialog, L"CANCEL");
  ASSERT_TRUE(call->ended());
}

// Setup dialog ------------------------------------------------------------------------------

// The INI file a host shares with the plug-in: its own section and comments around ours, whose
// composition is the artist alone.
std::string shared_settings() {
  return host_lines() + "[mac_Tunlex]\r\n; composition\r\nDefault=1\r\nDefault0=1\r\n" +
         "\r\n; after us\r\n[Other]\r\nKey=Value\r\n";
}

class SetupTest : public DialogsTest {
 protected:
  void SetUp() override {
    DialogsTest::SetUp();
    write_file(folder + L"\\song.mp3",
               fixtures::Mp3FileBuilder()
                   .id3v2(fixtures::Id3v2Builder(3).text_frame("TPE1", "Artist").build())
                   .frame(fixtures::MpegFrameBuilder(), 20)
                   .build());
    write_file(ini, shared_settings());
    plugin.init(ini);
    ASSERT_EQ(plugin.exec(folder, L"song.mp3"), "Artist");
  }

  // Page 1: a literal "-" and the channel mode added after the artist; page 7: the joint
  // stereo label renamed.
  void edit(HWND dialog) {
    std::vector<HWND> lists = visible_of_class(dialog, L"ListBox");
    ASSERT_EQ(lists.size(), 2u);
    HWND palette = lists[0];
    HWND composition = lists[1];
    if (SendMessageW(palette, LB_GETCOUNT, 0, 0) != 14) std::swap(palette, composition);
    ASSERT_EQ(list_texts(palette).at(0), L"文字列");
    ASSERT_EQ(list_texts(composition), std::vector<std::wstring>{L"[アーティスト]"});
    const HWND ok = window_with_text(dialog, L"OK");
    EXPECT_FALSE(IsWindowEnabled(ok));

    click_entry(palette, 0);
    const std::vector<HWND> boxes = visible_of_class(dialog, L"Edit");
    ASSERT_EQ(boxes.size(), 1u);
    ASSERT_TRUE(IsWindowEnabled(boxes[0]));
    SendMessageW(boxes[0], WM_CHAR, L'-', 1);
    click(dialog, L"追加");
    click_entry(palette, 13);
    ASSERT_EQ(list_texts(palette).at(13), L"チャネルモード");
    click(dialog, L"追加");
    ASSERT_EQ(SendMessageW(composition, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(list_texts(composition)[2], L"[チャネルモード]");
    EXPECT_TRUE(IsWindowEnabled(ok));

    click_tab(dialog, 6);
    const HWND joint = box_labelled(dialog, L"ジョイントステレオ");
    ASSERT_NE(joint, nullptr);
    EXPECT_EQ(text_of(joint), L"JointStereo");
    SetWindowTextW(joint, L"結合");
  }
  const std::string joint_label = sjis(L"結合");
};

TEST_F(SetupTest, OkSavesEveryChangeAndTheNextReadUsesIt) {
  {
    const auto call = setup();
    const HWND dialog = call->window();
    ASSERT_NE(dialog, nullptr);
    expect_centred(dialog);
    EXPECT_EQ(text_of(dialog), L"MP3ファイル情報取得マクロ設定");
    edit(dialog);
    click(dialog, L"OK");
    ASSERT_TRUE(call->ended());
  }
  EXPECT_EQ(plugin.exec(folder, L"song.mp3"), "Artist-" + joint_label);

  const std::string saved = read_file(ini);
  // The host's section and comments, and the section after ours, as they were.
  EXPECT_EQ(saved.substr(0, host_lines().size()), host_lines());
  EXPECT_NE(saved.find("; composition\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("; after us\r\n[Other]\r\nKey=Value\r\n"), std::string::npos) << saved;
  for (const std::string line :
       {"Default=3\r\n", "Default0=1\r\n", "Default1=0-/\r\n", "Default2=11\r\n"}) {
    EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
  }
  const auto channels = saved.find("DataC=");
  ASSERT_NE(channels, std::string::npos) << saved;
  EXPECT_NE(saved.substr(channels, saved.find("\r\n", channels) - channels).find(joint_label),
            std::string::npos);

  // A fresh load of the saved file gives the same answer.
  Plugin reloaded;
  ASSERT_TRUE(reloaded.loaded());
  reloaded.init(ini);
  EXPECT_EQ(reloaded.exec(folder, L"song.mp3"), "Artist-" + joint_label);
}

TEST_F(SetupTest, CancelChangesNothing) {
  {
    const auto call = setup();
    const HWND dialog = call->window();
    ASSERT_NE(dialog, nullptr);
    edit(dialog);
    click(dialog, L"CANCEL");
    ASSERT_TRUE(call->ended());
  }
  EXPECT_EQ(read_file(ini), shared_settings());
  EXPECT_EQ(plugin.exec(folder, L"song.mp3"), "Artist");
}

TEST_F(SetupTest, ReadOnlyFileShowsTheErrorAndLosesNothing) {
  ASSERT_TRUE(SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY));
  // Wine replaces a read-only file as if it were not: a reader that shares no deletion holds it
  // in place, as the attribute alone does on Windows.
  const HANDLE reader =
      CreateFileW(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  {
    const auto call = setup();
    const HWND dialog = call->window();
    ASSERT_NE(dialog, nullptr);
    edit(dialog);
    PostMessageW(window_with_text(dialog, L"OK"), BM_CLICK, 0, 0);
    const HWND error = call->window(std::wstring(L"エラー"));
    ASSERT_NE(error, nullptr) << "dialog ended: " << call->ended(0) << "\n" << read_file(ini);
    std::wstring message;
    for (const HWND child : descendants(error)) message += text_of(child) + L"\n";
    EXPECT_NE(message.find(L"ファイル " + ini + L" を作成できません"), std::wstring::npos)
        << sjis(message);
    click(error, L"OK");
    ASSERT_TRUE(call->ended());
  }
  CloseHandle(reader);
  EXPECT_EQ(read_file(ini), shared_settings());
  EXPECT_EQ(plugin.exec(folder, L"song.mp3"), "Artist-" + joint_label);
}

TEST_F(SetupTest, DragReordersTheCompositionLiveAndTheDropRefreshes) {
  write_file(ini,
             "[mac_Tunlex]\r\nDefault=4\r\nDefault0=1\r\nDefault1=2\r\n"
             "Default2=3\r\nDefault3=5\r\n");
  plugin.init(ini);
  {
    const auto call = setup();
    const HWND dialog = call->window();
    ASSERT_NE(dialog, nullptr);
    std::vector<HWND> lists = visible_of_class(dialog, L"ListBox");
    ASSERT_EQ(lists.size(), 2u);
    const HWND composition = SendMessageW(lists[0], LB_GETCOUNT, 0, 0) == 14 ? lists[1] : lists[0];
    const HWND ok = window_with_text(dialog, L"OK");
    const std::vector<std::wstring> moved{L"[曲名]", L"[アルバム]", L"[アーティスト]", L"[年]"};

    drag_entry(composition, 0, 2, [&] {
      // Live: the entry has moved while the button is held; nothing is refreshed yet.
      EXPECT_EQ(list_texts(composition), moved);
      EXPECT_FALSE(IsWindowEnabled(ok));
    });
    EXPECT_EQ(list_texts(composition), moved);
    EXPECT_TRUE(IsWindowEnabled(ok));
    EXPECT_NE(window_with_text(dialog, L"曲名アルバムアーティスト年"), nullptr);  // the sample

    drag_entry(composition, 3, 1);
    EXPECT_EQ(list_texts(composition),
              (std::vector<std::wstring>{L"[曲名]", L"[年]", L"[アルバム]", L"[アーティスト]"}));
    click(dialog, L"OK");
    ASSERT_TRUE(call->ended());
  }
  const std::string saved = read_file(ini);
  EXPECT_NE(saved.find("Default0=2\r\nDefault1=5\r\nDefault2=3\r\nDefault3=1\r\n"),
            std::string::npos)
      << saved;
}

TEST_F(SetupTest, EveryCaptionOnEveryPageFitsItsControl) {
  const auto call = setup();
  const HWND dialog = call->window();
  ASSERT_NE(dialog, nullptr);
  for (int page = 0; page < 7; ++page) {
    click_tab(dialog, page);
    EXPECT_TRUE(cut_captions(dialog).empty()) << "page " << page + 1 << ":\n"
                                              << joined(cut_captions(dialog));
  }
  click(dialog, L"CANCEL");
  ASSERT_TRUE(call->ended());
}

// Shows the setup dialog at a page, for pictures of it.
int show_setup_page(int page, const std::wstring& ini_path) {
  Plugin plugin;
  if (!plugin.loaded()) return 3;
  plugin.init(ini_path);
  const TMacDialogRect screen{0, 0, 1024, 768};
  ModalCall call([&] { plugin.table.Setup(&screen); });
  const HWND dialog = call.window();
  if (!dialog) return 1;
  if (page > 1) click_tab(dialog, page - 1);
  call.ended(INFINITE);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--show-setup-page") {
    const std::wstring ini = argc >= 4 ? std::wstring(argv[3], argv[3] + std::strlen(argv[3]))
                                       : folder_of_this_program() + L"no-such-settings.ini";
    return show_setup_page(std::atoi(argv[2]), ini);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
