// OK of TFormSetup: every page into the settings section and into the settings in memory.

#include <stdexcept>
#include <string>

#include "dialogs/messages.h"
#include "dialogs/setup_form.h"
#include "ini/ini_file.h"
#include "settings/compose_settings.h"

namespace dialogs {

// The settings in memory take the new values before the file is written, so the next
// evaluation uses them even when the write fails.
void TFormSetup::ButtonOkClick(forms::Control&) {
  settings::TMp3Settings& settings = input_.Settings;
  const std::string section = settings.IniSection;
  auto file = ini::IniFile::load(*input_.files, settings.IniPath);

  // No entry of a longer earlier composition may survive. Only keys present can go, so a
  // hand-edited count of two billion costs nothing.
  const std::int32_t old_count = file.read_integer(section, "Default", 0);
  for (const std::string& key : file.keys(section)) {
    const auto index = settings::EntryKeyIndex(key);
    if (index && *index < old_count) file.delete_key(section, key);
  }

  const std::vector<forms::ListEntry>& entries = ListBoxEdit.items();
  file.write_string(section, "Default", std::to_string(entries.size()));
  settings.DefaultItems.clear();
  for (std::size_t j = 0; j < entries.size(); ++j) {
    const std::int32_t code = entries[j].data;
    settings::TDefaultItem item{
        .Text = code == settings::FieldLiteral ? LiteralOf(entries[j]) : std::string(),
        .Code = code};
    file.write_string(section, settings::EntryKey(j), settings::ComposeEntry(item));
    settings.DefaultItems.push_back(std::move(item));
  }

  settings.TrackOption = RadioGroupN1.item_index() * (RadioGroupN2.item_index() + 1);
  file.write_string(section, "DataN", std::to_string(settings.TrackOption));

  settings.TimeFormat = RadioGroupS1.item_index() * (RadioGroupS2.item_index() + 1);
  settings.TimeSeparator = LabeledEditS3.text();
  file.write_string(section, "DataS",
                    settings::ComposeTime(settings.TimeFormat, settings.TimeSeparator));

  for (std::size_t i = 0; i < BitrateBoxes.size(); ++i) {
    settings.BitrateLabels[i] = BitrateBoxes[i]->text();
  }
  settings.ShowVbrAsBitrate = CheckBoxB_VBR.checked();
  file.write_string(section, "DataB",
                    settings::ComposeBitrates(settings.BitrateLabels, settings.ShowVbrAsBitrate));

  for (std::size_t i = 0; i < SamplingBoxes.size(); ++i) {
    settings.SamplingLabels[i] = SamplingBoxes[i]->text();
  }
  file.write_string(section, "DataF", settings::ComposeLabelList(settings.SamplingLabels));

  for (std::size_t i = 0; i < VbrBoxes.size(); ++i) settings.VbrLabels[i] = VbrBoxes[i]->text();
  file.write_string(section, "DataV", settings::ComposeLabelList(settings.VbrLabels));

  for (std::size_t i = 0; i < ChannelBoxes.size(); ++i) {
    settings.ChannelLabels[i] = ChannelBoxes[i]->text();
  }
  file.write_string(section, "DataC", settings::ComposeLabelList(settings.ChannelLabels));

  if (!file.save(*input_.files, settings.IniPath)) {
    throw std::runtime_error(CannotCreateFileMessage(settings.IniPath));
  }
}

}  // namespace dialogs
