#include "forms/control.h"

#include "forms/form.h"
#include "text/shift_jis.h"

namespace forms {

Control::Control(Form& form, Control* parent, ControlKind kind, std::string name, Bounds bounds)
    : form_(form), parent_(parent), kind_(kind), name_(std::move(name)), bounds_(bounds) {}

void Control::changed(Change what) {
  if (FormBackend* backend = form_.backend()) backend->control_changed(*this, what);
}

void Control::set_text(std::string text) {
  if (max_length > 0 && text.size() > static_cast<std::size_t>(max_length)) {
    // Whole characters only: a lead byte without its trail byte would be another character.
    std::size_t kept = 0;
    while (kept < text.size()) {
      const std::size_t size =
          text::is_sjis_lead_byte(static_cast<unsigned char>(text[kept])) ? 2 : 1;
      if (kept + size > static_cast<std::size_t>(max_length)) break;
      kept += size;
    }
    text.resize(kept);
  }
  if (text == text_) return;
  text_ = std::move(text);
  changed(Change::Text);
}

void Control::set_enabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  changed(Change::Enabled);
}

void Control::set_visible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  changed(Change::Visible);
}

void Control::set_checked(bool checked) {
  if (checked && kind_ == ControlKind::RadioButton) {
    for (const auto& other : form_.controls()) {
      if (other.get() != this && other->kind_ == ControlKind::RadioButton &&
          other->parent_ == parent_ && other->checked_) {
        other->checked_ = false;
        other->changed(Change::Checked);
      }
    }
  }
  if (checked == checked_) return;
  checked_ = checked;
  changed(Change::Checked);
}

void Control::set_hint(std::string hint) {
  if (hint == hint_) return;
  hint_ = std::move(hint);
  changed(Change::Hint);
}

void Control::set_color(std::uint32_t color) {
  if (color == color_) return;
  color_ = color;
  changed(Change::Color);
}

void Control::set_default(bool is_default) {
  if (is_default == default_) return;
  default_ = is_default;
  changed(Change::Default);
}

void Control::set_items(std::vector<ListEntry> items) {
  items_ = std::move(items);
  if (item_index_ >= static_cast<int>(items_.size())) item_index_ = -1;
  changed(Change::Items);
}

void Control::set_item_index(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == item_index_) return;
  item_index_ = index;
  changed(Change::ItemIndex);
}

}  // namespace forms
