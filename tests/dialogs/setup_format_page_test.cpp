// Page 1 of TFormSetup: the palette, the composition list, Add, Update, Delete, dragging, the
// sample and the literal box's filters.

#include <gtest/gtest.h>

#include "setup_form_fixture.h"

namespace dialogs {
namespace {

using forms::Control;

constexpr int kLiteral = 0, kSeparator1 = 1, kArtist = 2, kTitle = 3, kAlbum = 4, kSeparator2 = 8,
              kChannelMode = 13;

class FormatPageTest : public SetupFormTest {
 protected:
  // The composition A B C D, as four literals.
  void open_on_abcd() {
    store(
        "[mac_Tunlex]\r\nDefault=4\r\nDefault0=0A/\r\nDefault1=0B/\r\nDefault2=0C/\r\n"
        "Default3=0D/\r\n");
    open();
  }
  std::string order() const {
    std::string letters;
    for (const std::string& text : shown()) letters += text.substr(1);
    return letters;
  }
};

TEST_F(FormatPageTest, APaletteRowEnablesTheLiteralBoxAddAndUpdate) {
  struct Case {
    int row;
    bool entry_selected;
    bool edit, add, update;
  } const cases[] = {
      {kLiteral, false, true, true, false},      {kLiteral, true, true, true, true},
      {kSeparator1, false, false, false, false}, {kSeparator1, true, false, false, false},
      {kArtist, false, false, true, false},      {kArtist, true, false, true, true},
      {kSeparator2, true, false, false, false},  {kChannelMode, true, false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << (c.entry_selected ? ", entry" : ""));
    store("[mac_Tunlex]\r\nDefault=1\r\nDefault0=1\r\n");
    TFormSetup& setup = open();
    if (c.entry_selected) select(0);
    pick(c.row);
    EXPECT_EQ(setup.Edit.enabled(), c.edit);
    EXPECT_EQ(setup.Edit.color(), c.edit ? Control::kWindowColor : Control::kButtonFaceColor);
    EXPECT_EQ(setup.ButtonAdd.enabled(), c.add);
    EXPECT_EQ(setup.ButtonUpd.enabled(), c.update);
    // Delete and the default button follow the composition list only.
    EXPECT_EQ(setup.ButtonDel.enabled(), c.entry_selected);
    EXPECT_EQ(setup.ButtonUpd.is_default(), c.entry_selected);
    EXPECT_EQ(setup.ButtonAdd.is_default(), !c.entry_selected);
  }
}

TEST_F(FormatPageTest, SelectingAnEntryShowsItInThePaletteAndALiteralInTheBox) {
  store(
      "[mac_Tunlex]\r\nDefault=4\r\nDefault0=3\r\nDefault1=0 [x] /\r\nDefault2=12\r\n"
      "Default3=11\r\n");
  TFormSetup& setup = open();
  struct Case {
    int entry;
    int row;
    const char* edit_text;  // what the literal box then holds
    bool add;
  } const cases[] = {
      {0, kAlbum, "", true},
      {1, kLiteral, " [x] ", true},  // its own blanks come back
      {3, kChannelMode, " [x] ", true},
      {2, -1, " [x] ", false},  // a code without a row: only Delete applies
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    select(c.entry);
    EXPECT_EQ(setup.ListBoxItem.item_index(), c.row);
    EXPECT_EQ(setup.Edit.text(), c.edit_text);
    EXPECT_EQ(setup.Edit.enabled(), c.row == kLiteral);
    EXPECT_EQ(setup.ButtonAdd.enabled(), c.add);
    EXPECT_EQ(setup.ButtonUpd.enabled(), c.add);
    EXPECT_TRUE(setup.ButtonDel.enabled());
    EXPECT_TRUE(setup.ButtonUpd.is_default());
    EXPECT_FALSE(setup.ButtonAdd.is_default());
  }
  EXPECT_FALSE(setup.ButtonOk.enabled());
}

TEST_F(FormatPageTest, AddAppendsAndTheCommonTailLeavesThePaletteForTheNextAdd) {
  TFormSetup& setup = open();
  add_literal(" - ");
  add_field(kArtist);
  add_literal("");
  add_field(kTitle);
  add_field(kTitle);  // the palette row stays: the same item again at once
  EXPECT_EQ(shown(), (std::vector<std::string>{"  - ", sjis("[アーティスト]"), " ", sjis("[曲名]"),
                                               sjis("[曲名]")}));
  EXPECT_EQ(codes(), (std::vector<std::int32_t>{0, 1, 0, 2, 2}));
  EXPECT_EQ(setup.PanelSample.text(), sjis(" - アーティスト曲名曲名"));
  EXPECT_EQ(setup.PanelSample.hint(), setup.PanelSample.text());
  EXPECT_EQ(setup.ListBoxItem.item_index(), kTitle);
  EXPECT_EQ(setup.ListBoxEdit.item_index(), -1);
  EXPECT_TRUE(setup.ButtonAdd.enabled());
  EXPECT_FALSE(setup.ButtonUpd.enabled());
  EXPECT_FALSE(setup.ButtonDel.enabled());
  EXPECT_TRUE(setup.ButtonAdd.is_default());
  EXPECT_FALSE(setup.ButtonUpd.is_default());
  EXPECT_TRUE(setup.ButtonOk.enabled());
}

TEST_F(FormatPageTest, UpdateTurnsAnEntryIntoThePaletteItemInPlace) {
  store("[mac_Tunlex]\r\nDefault=3\r\nDefault0=1\r\nDefault1=0lit/\r\nDefault2=5\r\n");
  TFormSetup& setup = open();

  select(0);  // a field into a literal, the text from the box
  pick(kLiteral);
  setup.change_text(setup.Edit, "new");
  setup.click(setup.ButtonUpd);
  EXPECT_EQ(shown(), (std::vector<std::string>{" new", " lit", sjis("[年]")}));
  EXPECT_EQ(codes(), (std::vector<std::int32_t>{0, 0, 5}));
  EXPECT_TRUE(setup.ButtonOk.enabled());
  EXPECT_EQ(setup.ListBoxEdit.item_index(), -1);
  EXPECT_FALSE(setup.ButtonUpd.enabled());
  EXPECT_TRUE(setup.ButtonAdd.is_default());

  select(1);  // a literal into a field
  pick(kTitle);
  setup.click(setup.ButtonUpd);
  select(2);  // one field into another
  pick(kArtist);
  setup.click(setup.ButtonUpd);
  select(0);  // and back into a field
  pick(kAlbum);
  setup.click(setup.ButtonUpd);
  EXPECT_EQ(shown(),
            (std::vector<std::string>{sjis("[アルバム]"), sjis("[曲名]"), sjis("[アーティスト]")}));
  EXPECT_EQ(codes(), (std::vector<std::int32_t>{3, 2, 1}));
  EXPECT_EQ(setup.PanelSample.text(), sjis("アルバム曲名アーティスト"));
}

TEST_F(FormatPageTest, DeleteRemovesTheSelectedEntryAlsoWithASeparatorPicked) {
  store("[mac_Tunlex]\r\nDefault=3\r\nDefault0=1\r\nDefault1=2\r\nDefault2=3\r\n");
  TFormSetup& setup = open();
  select(1);
  pick(kSeparator2);
  EXPECT_FALSE(setup.ButtonAdd.enabled());
  EXPECT_FALSE(setup.ButtonUpd.enabled());
  setup.click(setup.ButtonUpd);  // disabled: nothing happens
  setup.click(setup.ButtonDel);
  EXPECT_EQ(codes(), (std::vector<std::int32_t>{1, 3}));
  EXPECT_EQ(setup.PanelSample.text(), sjis("アーティストアルバム"));
  EXPECT_FALSE(setup.ButtonDel.enabled());
  EXPECT_TRUE(setup.ButtonOk.enabled());
}

TEST_F(FormatPageTest, DraggingMovesTheEntryUnderThePointerWhileItMoves) {
  struct Case {
    int from;
    std::vector<int> over;  // rows passed over in turn; -1 the empty area below the entries
    const char* order;
  } const cases[] = {
      {0, {2}, "BCAD"}, {3, {1}, "ADBC"}, {0, {-1}, "ABCD"},
      {1, {1}, "ABCD"}, {0, {3}, "BCDA"}, {0, {1, 2, 3, 0}, "ABCD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.order);
    open_on_abcd();
    select(c.from);
    for (const int row : c.over) EXPECT_TRUE(drag_over(row));
    EXPECT_EQ(order(), c.order);
    const int last = c.over.back();
    EXPECT_EQ(form().ListBoxEdit.item_index(), last < 0 ? c.from : last);
    EXPECT_EQ(form().ButtonDel.enabled(), true);
  }
}

TEST_F(FormatPageTest, OnlyTheDropRefreshesTheSampleAndEnablesOk) {
  open_on_abcd();
  select(0);
  drag_over(2);
  // A drag that ends elsewhere keeps the move and refreshes nothing.
  EXPECT_EQ(form().PanelSample.text(), "ABCD");
  EXPECT_FALSE(form().ButtonOk.enabled());
  drop();
  EXPECT_EQ(form().PanelSample.text(), "BCAD");
  EXPECT_EQ(form().PanelSample.hint(), "BCAD");
  EXPECT_TRUE(form().ButtonOk.enabled());
}

TEST_F(FormatPageTest, ADragFromElsewhereOrWithoutASelectionMovesNothing) {
  open_on_abcd();
  EXPECT_TRUE(drag_over(2));
  bool accept = true;
  select(0);
  form().run_handler([&] {
    form().ListBoxEdit.on_drag_over(form().ListBoxEdit, form().ListBoxItem, 10, 30, accept);
  });
  EXPECT_TRUE(accept);
  EXPECT_EQ(order(), "ABCD");
}

TEST_F(FormatPageTest, TheLiteralBoxRefusesTheNineCharactersTypedOrPasted) {
  TFormSetup& setup = open();
  pick(kLiteral);
  for (const char key : std::string("a\\b/c:d*e?f\"g<h>i|j")) setup.type_key(setup.Edit, key);
  EXPECT_EQ(setup.Edit.text(), "abcdefghij");

  // Both bytes of a double-byte character stay, even a trail byte 0x5C or 0x7C (表ソポ).
  setup.change_text(setup.Edit, sjis("表/ソ<>ポ|"));
  EXPECT_EQ(setup.Edit.text(), "\x95\x5c\x83\x5c\x83\x7c");
  setup.click(setup.ButtonAdd);
  EXPECT_EQ(shown().back(), " \x95\x5c\x83\x5c\x83\x7c");
}

TEST_F(FormatPageTest, OkStaysDisabledUntilTheFirstChange) {
  store("[mac_Tunlex]\r\nDefault=2\r\nDefault0=1\r\nDefault1=0x/\r\n");
  TFormSetup& setup = open();
  select(1);
  pick(kArtist);
  select(0);
  setup.change_text(setup.Edit, "typed");
  EXPECT_FALSE(setup.ButtonOk.enabled());
  setup.click(setup.ButtonOk);
  EXPECT_EQ(setup.modal_result, 0);
  EXPECT_EQ(files_.contents(kIni)->find("DataN"), std::string::npos);
}

}  // namespace
}  // namespace dialogs
