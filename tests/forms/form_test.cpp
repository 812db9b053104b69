#include "forms/form.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace forms {
namespace {

class FormTest : public ::testing::Test {
 protected:
  FormTest() : form("Test", 200, 100) {}
  void SetUp() override {
    set_error_box([this](const std::string& message) { errors.push_back(message); });
  }
  void TearDown() override {
    set_error_box(nullptr);
    set_help_function(nullptr);
  }

  Form form;
  std::vector<std::string> errors;
};

TEST_F(FormTest, CheckingARadioButtonUnchecksItsSiblingsOnly) {
  Control& group_a = form.add(ControlKind::GroupBox, "A", nullptr, {});
  Control& group_b = form.add(ControlKind::GroupBox, "B", nullptr, {});
  Control& a1 = form.add(ControlKind::RadioButton, "a1", &group_a, {});
  Control& a2 = form.add(ControlKind::RadioButton, "a2", &group_a, {});
  Control& b1 = form.add(ControlKind::RadioButton, "b1", &group_b, {});
  a1.set_checked(true);
  b1.set_checked(true);
  form.click(a2);
  EXPECT_FALSE(a1.checked());
  EXPECT_TRUE(a2.checked());
  EXPECT_TRUE(b1.checked());
}

TEST_F(FormTest, AButtonsModalResultIsSetBeforeItsHandlerRuns) {
  Control& ok = form.add(ControlKind::Button, "Ok", nullptr, {});
  ok.modal_result = kModalOk;
  int seen = -1;
  ok.on_click = [&](Control&) { seen = form.modal_result; };
  form.click(ok);
  EXPECT_EQ(seen, kModalOk);
  EXPECT_EQ(form.modal_result, kModalOk);
}

TEST_F(FormTest, ADisabledControlIgnoresClicksAndKeys) {
  Control& box = form.add(ControlKind::CheckBox, "Box", nullptr, {});
  Control& edit = form.add(ControlKind::Edit, "Edit", nullptr, {});
  int clicks = 0;
  box.on_click = [&](Control&) { ++clicks; };
  box.set_enabled(false);
  edit.set_enabled(false);
  form.click(box);
  form.type_key(edit, 'a');
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(box.checked());
  EXPECT_EQ(edit.text(), "");
}

TEST_F(FormTest, AKeyHandlerCanRefuseOrReplaceATypedKey) {
  Control& edit = form.add(ControlKind::Edit, "Edit", nullptr, {});
  int changes = 0;
  edit.on_change = [&](Control&) { ++changes; };
  edit.on_key_press = [](Control&, char& key) {
    if (key == '/') key = 0;
    if (key == 'x') key = 'y';
  };
  for (const char key : std::string("a/x\bb")) form.type_key(edit, key);
  EXPECT_EQ(edit.text(), "ab");
  EXPECT_EQ(changes, 4);  // a, y, backspace, b: the refused key changed nothing
}

TEST_F(FormTest, AnEditKeepsAtMostItsLimitInBytes) {
  Control& edit = form.add(ControlKind::Edit, "Edit", nullptr, {});
  edit.max_length = 2;
  form.change_text(edit, "abc");
  EXPECT_EQ(edit.text(), "ab");
}

TEST_F(FormTest, AFailingHandlerIsReportedAndTheFormGoesOn) {
  Control& button = form.add(ControlKind::Button, "Button", nullptr, {});
  int runs = 0;
  button.on_click = [&](Control&) {
    ++runs;
    throw std::runtime_error("broken");
  };
  form.click(button);
  form.click(button);
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(errors, (std::vector<std::string>{"broken", "broken"}));
}

TEST_F(FormTest, HelpAsksForTheNearestContext) {
  std::vector<int> contexts;
  set_help_function([&](int context) { contexts.push_back(context); });
  form.help_context = 200;
  Control& page = form.add(ControlKind::TabSheet, "Page", nullptr, {});
  page.help_context = 204;
  Control& group = form.add(ControlKind::GroupBox, "Group", &page, {});
  Control& edit = form.add(ControlKind::Edit, "Edit", &group, {});
  Control& outside = form.add(ControlKind::Edit, "Outside", nullptr, {});

  EXPECT_EQ(form.request_help(&edit), 204);
  EXPECT_EQ(form.request_help(&outside), 200);
  EXPECT_EQ(form.request_help(nullptr), 200);
  form.on_help = [](int) { return false; };
  EXPECT_EQ(form.request_help(&edit), 0);
  EXPECT_EQ(contexts, (std::vector<int>{204, 200, 200}));
}

TEST_F(FormTest, SelectingAnItemKeepsTheIndexInRange) {
  Control& list = form.add(ControlKind::ListBox, "List", nullptr, {});
  list.set_items({{"a", 1}, {"b", 2}});
  form.select_item(list, 1);
  EXPECT_EQ(list.item_index(), 1);
  form.select_item(list, 5);
  EXPECT_EQ(list.item_index(), -1);
  list.set_item_index(1);
  list.set_items({{"a", 1}});
  EXPECT_EQ(list.item_index(), -1);
}

}  // namespace
}  // namespace forms
