#include "plugin/module_state.h"

#include <gtest/gtest.h>

#include "fileio/memory_file_system.h"

namespace plugin {
namespace {

mp3info::MacroRequest read_request(const char* parameter) {
  mp3info::MacroRequest request;
  request.Parameter = parameter;
  request.Folder = "C:\\Music";
  request.FileName = "a.mp3";
  request.ReadFlag = 1;
  return request;
}

TEST(ModuleState, StartsWithNoAnswerForAnyItem) {
  const ModuleState state;
  EXPECT_EQ(state.FileInfo.BitrateIndex, -1);
  EXPECT_EQ(state.FileInfo.SamplingIndex, -1);
  EXPECT_EQ(state.FileInfo.VbrFlag, -1);
  EXPECT_EQ(state.FileInfo.ChannelMode, -1);
  EXPECT_FALSE(state.DefaultItemsExist);
  EXPECT_EQ(state.Settings, settings::TMp3Settings{});
}

TEST(ModuleState, ExecBeforeInitAnswersEmptyAndOpensNothing) {
  ModuleState state;
  state.Settings.SamplingLabels = {"44100", "", "", ""};
  fileio::MemoryFileSystem files;
  files.add("C:\\Music\\a.mp3", "data");
  auto request = read_request("F");
  EXPECT_EQ(ExecMacro(state, request, files), mp3info::kStaticEmptyText);
  request.ReadFlag = 0;
  EXPECT_EQ(ExecMacro(state, request, files), mp3info::kStaticEmptyText);
  EXPECT_EQ(files.opens(), 0);
}

TEST(ModuleState, InitLoadsTheNamedSectionAndExecUsesIt) {
  fileio::MemoryFileSystem files;
  files.add("C:\\host.ini",
            "[other]\r\nDefault=1\r\nDefault0=0other/\r\n"
            "[mac_Tunlex]\r\nDefault=2\r\nDefault0=0<</\r\nDefault1=0>>/\r\n");
  files.add("C:\\Music\\a.mp3", std::string(64, '\0'));
  ModuleState state;
  InitPlugin(state, "C:\\host.ini", "mac_Tunlex", files);
  EXPECT_TRUE(state.DefaultItemsExist);
  EXPECT_EQ(state.Settings.IniPath, "C:\\host.ini");
  EXPECT_EQ(state.Settings.IniSection, "mac_Tunlex");
  EXPECT_EQ(state.Settings.TrackOption, 1);  // missing keys take their defaults
  EXPECT_STREQ(ExecMacro(state, read_request(""), files), "<<>>");
  EXPECT_EQ(files.open_files(), 0);
}

TEST(ModuleState, InitStartsAFreshCompositionEachTime) {
  fileio::MemoryFileSystem files;
  files.add("a.ini", "[s]\r\nDefault=1\r\nDefault0=1\r\n");
  ModuleState state;
  InitPlugin(state, "a.ini", "s", files);
  InitPlugin(state, "a.ini", "s", files);
  EXPECT_EQ(state.Settings.DefaultItems.size(), 1u);
}

TEST(ModuleState, TermDropsOnlyTheComposition) {
  fileio::MemoryFileSystem files;
  files.add("a.ini", "[s]\r\nDefault=1\r\nDefault0=1\r\nDataN=2\r\n");
  ModuleState state;
  TermPlugin(state);  // before init: nothing to do
  EXPECT_FALSE(state.DefaultItemsExist);

  InitPlugin(state, "a.ini", "s", files);
  state.ExecResultText = "kept";
  TermPlugin(state);
  EXPECT_FALSE(state.DefaultItemsExist);
  EXPECT_TRUE(state.Settings.DefaultItems.empty());
  EXPECT_EQ(state.Settings.TrackOption, 2);
  EXPECT_EQ(state.ExecResultText, "kept");
}

TEST(HelpFileBeside, NamesTheHelpFileInTheExecutablesFolder) {
  EXPECT_EQ(HelpFileBeside<char>("C:\\Host\\host.exe"), "C:\\Host\\mac_Tunlex.hlp");
  EXPECT_EQ(HelpFileBeside<wchar_t>(L"C:\\Program Files\\Host\\h.exe"),
            L"C:\\Program Files\\Host\\mac_Tunlex.hlp");
  EXPECT_EQ(HelpFileBeside<char>("host.exe"), "mac_Tunlex.hlp");
}

}  // namespace
}  // namespace plugin
