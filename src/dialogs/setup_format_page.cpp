// Page 1 of TFormSetup: composing the default format from the palette's items and literals.

#include <iterator>
#include <string>
#include <vector>

#include "dialogs/setup_form.h"

namespace dialogs {
namespace {

using forms::Control;
using forms::ListEntry;
using settings::FieldLiteral;

constexpr int kNone = -1;
constexpr int kLiteralRow = 0;
constexpr std::int32_t kFieldCodeCount = 12;

// Field code to palette row, and palette row to field code (none for the two separators).
constexpr int kRowOfCode[kFieldCodeCount] = {0, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13};
constexpr std::int32_t kCodeOfRow[] = {0, kNone, 1, 2, 3, 4, 5, 6, kNone, 7, 8, 9, 10, 11};
constexpr int kPaletteRows = static_cast<int>(std::size(kCodeOfRow));

// Codes outside 0 to 11 come only from a hand-edited file; they have no row.
int PaletteRowOf(std::int32_t code) {
  return code >= 0 && code < kFieldCodeCount ? kRowOfCode[code] : kNone;
}

std::int32_t CodeOfRow(int row) { return row >= 0 && row < kPaletteRows ? kCodeOfRow[row] : kNone; }

bool IsSeparatorRow(int row) { return row >= 0 && CodeOfRow(row) == kNone; }

// A literal shows behind exactly one marker character, which the save relies on.
ListEntry LiteralEntry(const std::string& literal) { return {" " + literal, FieldLiteral}; }

}  // namespace

std::string TFormSetup::LiteralOf(const ListEntry& entry) {
  return entry.text.empty() ? std::string() : entry.text.substr(1);
}

void TFormSetup::EnableBox(Control& box, bool enabled) {
  box.set_enabled(enabled);
  box.set_color(enabled ? Control::kWindowColor : Control::kButtonFaceColor);
}

// The composition list from the settings, then the sample; OK stays disabled.
void TFormSetup::FillFormatPage() {
  std::vector<ListEntry> entries;
  for (const settings::TDefaultItem& item : input_.Settings.DefaultItems) {
    if (item.Code == FieldLiteral) {
      entries.push_back(LiteralEntry(item.Text));
    } else {
      const int row = PaletteRowOf(item.Code);
      // A code without a row shows as its number, so that it is seen and saved as it was.
      const std::string name =
          row == kNone ? std::to_string(item.Code) : ListBoxItem.items()[row].text;
      entries.push_back({"[" + name + "]", item.Code});
    }
  }
  ListBoxEdit.set_items(std::move(entries));
  EditDUpdate(false);
}

void TFormSetup::ListBoxItemClick(Control&) {
  const int p = ListBoxItem.item_index();
  const int c = ListBoxEdit.item_index();
  EnableBox(Edit, p == kLiteralRow);
  ButtonAdd.set_enabled(p >= 0 && !IsSeparatorRow(p));
  ButtonUpd.set_enabled(c >= 0 && ButtonAdd.enabled());
}

void TFormSetup::ListBoxEditClick(Control&) {
  const int c = ListBoxEdit.item_index();
  if (c == kNone) return;
  ButtonUpd.set_enabled(true);
  ButtonDel.set_enabled(true);
  ButtonAdd.set_default(false);
  ButtonUpd.set_default(true);

  const ListEntry& entry = ListBoxEdit.items()[c];
  ListBoxItem.set_item_index(PaletteRowOf(entry.data));
  ListBoxItemClick(ListBoxItem);
  ListBoxItem.set_focus();
  if (entry.data == FieldLiteral) {
    Edit.set_text(LiteralOf(entry));
    Edit.set_focus();
  }
}

// The entry that Add appends and Update stores: a literal from the box, or the palette's field.
ListEntry TFormSetup::NewEntry() const {
  const int p = ListBoxItem.item_index();
  if (p == kLiteralRow) return LiteralEntry(Edit.text());
  return {"[" + ListBoxItem.items()[p].text + "]", CodeOfRow(p)};
}

void TFormSetup::ButtonAddClick(Control&) {
  if (CodeOfRow(ListBoxItem.item_index()) == kNone) return;  // disabled then
  std::vector<ListEntry> entries = ListBoxEdit.items();
  entries.push_back(NewEntry());
  ListBoxEdit.set_items(std::move(entries));
  CommonTail();
}

void TFormSetup::ButtonUpdClick(Control&) {
  const int c = ListBoxEdit.item_index();
  if (c == kNone || CodeOfRow(ListBoxItem.item_index()) == kNone) return;  // disabled then
  std::vector<ListEntry> entries = ListBoxEdit.items();
  entries[c] = NewEntry();
  ListBoxEdit.set_items(std::move(entries));
  CommonTail();
}

void TFormSetup::ButtonDelClick(Control&) {
  const int c = ListBoxEdit.item_index();
  if (c == kNone) return;  // disabled then
  std::vector<ListEntry> entries = ListBoxEdit.items();
  entries.erase(entries.begin() + c);
  ListBoxEdit.set_items(std::move(entries));
  CommonTail();
}

// After Add, Update and Delete. The palette row and the literal box stay, so the same item can
// be added again at once.
void TFormSetup::CommonTail() {
  ListBoxEdit.set_item_index(kNone);
  ButtonUpd.set_enabled(false);
  ButtonDel.set_enabled(false);
  ButtonUpd.set_default(false);
  ButtonAdd.set_default(true);
  EditDUpdate(true);
}

// Moves the dragged entry while the pointer moves, so it follows the pointer; the drop only
// refreshes. The list welcomes every drag.
void TFormSetup::ListBoxEditDragOver(Control&, Control& source, int x, int y, bool&) {
  const int c = ListBoxEdit.item_index();
  if (&source != &ListBoxEdit || c == kNone) return;
  const int t = item_at_pos(ListBoxEdit, x, y);
  if (t == kNone || t == c) return;
  std::vector<ListEntry> entries = ListBoxEdit.items();
  const ListEntry moved = entries[c];
  entries.erase(entries.begin() + c);
  entries.insert(entries.begin() + t, moved);
  ListBoxEdit.set_items(std::move(entries));
  ListBoxEdit.set_item_index(t);
}

void TFormSetup::ListBoxEditDragDrop(Control&, Control&, int, int) { EditDUpdate(true); }

void TFormSetup::EditKeyPress(Control&, char& key) {
  if (IsRefusedCharacter(key)) key = 0;
}

void TFormSetup::EditDUpdate(bool enable_ok) {
  std::string sample;
  for (const ListEntry& entry : ListBoxEdit.items()) {
    if (entry.data == FieldLiteral) {
      sample += LiteralOf(entry);
    } else if (const int row = PaletteRowOf(entry.data); row != kNone) {
      sample += ListBoxItem.items()[row].text;
    }
  }
  PanelSample.set_text(sample);
  PanelSample.set_hint(sample);
  ButtonOk.set_enabled(enable_ok);
}

}  // namespace dialogs
