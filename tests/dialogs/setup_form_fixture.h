#pragma once

// TFormSetup opened headless on settings loaded from an in-memory file, and the user's actions
// that the form layer's backend reports.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/setup_form.h"
#include "fileio/memory_file_system.h"
#include "forms/form.h"
#include "settings/load_settings.h"
#include "text/shift_jis.h"

namespace dialogs {

inline std::string sjis(const char* utf8) { return text::utf8_to_sjis(utf8); }

class SetupFormTest : public ::testing::Test {
 protected:
  static constexpr const char* kIni = "C:\\host\\host.ini";
  static constexpr const char* kSection = "mac_Tunlex";
  static constexpr int kRowHeight = 12;

  void SetUp() override {
    forms::set_error_box([this](const std::string& message) { errors_.push_back(message); });
    settings_.IniPath = kIni;
    settings_.IniSection = kSection;
  }
  void TearDown() override {
    forms::set_error_box(nullptr);
    forms::set_help_function(nullptr);
  }

  void store(const std::string& contents) { files_.add(kIni, contents); }
  const std::string& stored() const { return *files_.contents(kIni); }

  // Loads the settings from the file, as initialising does, and opens the dialog on them.
  TFormSetup& open() {
    settings::LoadSettings(settings_, files_);
    return open_on_memory();
  }
  // Opens the dialog on the settings in memory as they are.
  TFormSetup& open_on_memory() {
    form_ = std::make_unique<TFormSetup>(SetupDialogInput{settings_, &files_});
    return *form_;
  }
  TFormSetup& form() { return *form_; }

  // The composition list's display texts and codes.
  std::vector<std::string> shown() const {
    std::vector<std::string> texts;
    for (const forms::ListEntry& entry : form_->ListBoxEdit.items()) texts.push_back(entry.text);
    return texts;
  }
  std::vector<std::int32_t> codes() const {
    std::vector<std::int32_t> result;
    for (const forms::ListEntry& entry : form_->ListBoxEdit.items()) result.push_back(entry.data);
    return result;
  }

  void pick(int palette_row) { form_->select_item(form_->ListBoxItem, palette_row); }
  void select(int entry) { form_->select_item(form_->ListBoxEdit, entry); }
  void add_literal(const std::string& literal) {
    pick(0);
    form_->change_text(form_->Edit, literal);
    form_->click(form_->ButtonAdd);
  }
  void add_field(int palette_row) {
    pick(palette_row);
    form_->click(form_->ButtonAdd);
  }

  // A drag of the composition list's selected entry over row `row` (-1: the empty area below
  // the entries), as the backend reports it. Returns whether the list welcomed it.
  bool drag_over(int row) {
    const int entries = static_cast<int>(form_->ListBoxEdit.items().size());
    const int y = (row < 0 ? entries : row) * kRowHeight + kRowHeight / 2;
    bool accept = true;
    form_->run_handler([&] {
      form_->ListBoxEdit.on_drag_over(form_->ListBoxEdit, form_->ListBoxEdit, 10, y, accept);
    });
    return accept;
  }
  void drop() {
    form_->run_handler(
        [&] { form_->ListBoxEdit.on_drag_drop(form_->ListBoxEdit, form_->ListBoxEdit, 10, 6); });
  }

  // The user brings page `page` to the front, as the tab strip reports it.
  void turn_to(int page) {
    form_->PageControl.set_item_index(page);
    form_->run_handler([&] { form_->PageControl.on_change(form_->PageControl); });
  }

  void press_ok() { form_->click(form_->ButtonOk); }

  fileio::MemoryFileSystem files_;
  settings::TMp3Settings settings_;
  std::unique_ptr<TFormSetup> form_;
  std::vector<std::string> errors_;
};

}  // namespace dialogs
