#pragma once

// The form layer's controls: plain objects that hold their own state, so dialog handlers run and
// are tested without Windows. A backend (the Win32 one, or none when headless) mirrors the state
// into real windows and feeds user input back. Texts are Shift-JIS bytes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace forms {

class Form;

enum class ControlKind {
  Button,
  Panel,
  GroupBox,
  Bevel,
  Label,
  RadioButton,
  RadioGroup,
  CheckBox,
  Edit,
  LabeledEdit,
  ListBox,
  PageControl,
  TabSheet,
};

struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Bounds&) const = default;
};

struct Font {
  std::string name;  // Shift-JIS, e.g. "MS UI Gothic"
  int height = -12;
  bool bold = false;
  bool underline = false;
  bool operator==(const Font&) const = default;
};

// An entry of a list box or radio group: its text and the integer carried beside it.
struct ListEntry {
  std::string text;
  std::int32_t data = 0;
  bool operator==(const ListEntry&) const = default;
};

enum class BevelShape { Box, LeftLine, TopLine };

// What changed, so a backend refreshes only that.
// Focus is a request, not state: the backend moves the keyboard focus to the control.
enum class Change {
  Text,
  Enabled,
  Checked,
  Items,
  ItemIndex,
  Color,
  Hint,
  Default,
  Visible,
  Focus
};

class Control {
 public:
  Control(Form& form, Control* parent, ControlKind kind, std::string name, Bounds bounds);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& form() const { return form_; }
  Control* parent() const { return parent_; }
  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  const Bounds& bounds() const { return bounds_; }

  // Fixed by the form's description before it is shown.
  Font font;
  int tab_order = 0;
  int help_context = 0;
  int modal_result = 0;  // a button's: closes the form with this result when clicked
  bool cancel = false;   // a button's: Esc clicks it
  bool tab_stop = true;
  int max_length = 0;  // an edit's limit in bytes; 0 for none
  BevelShape bevel_shape = BevelShape::Box;
  bool lowered = false;       // a panel's bevel
  bool caption_left = false;  // a panel's caption: at its left edge, else centred
  int label_spacing = 3;      // a labelled edit's gap between label and box
  std::string label;          // a labelled edit's label
  int columns = 1;            // a radio group's columns of choices
  int item_height = 0;        // a list box's row height in pixels; 0 for the font's
  bool auto_select = false;   // an edit's: select the whole text when tabbed into

  // State that the handlers read and write; setters tell the backend.
  const std::string& text() const { return text_; }  // caption, or an edit's text
  void set_text(std::string text);
  bool enabled() const { return enabled_; }
  void set_enabled(bool enabled);
  bool visible() const { return visible_; }
  void set_visible(bool visible);
  bool checked() const { return checked_; }
  // Checking a radio button unchecks its siblings, as a click does.
  void set_checked(bool checked);
  std::int32_t tag = 0;
  const std::string& hint() const { return hint_; }
  void set_hint(std::string hint);
  std::uint32_t color() const { return color_; }  // 0x00BBGGRR; kDefaultColor for the system's
  void set_color(std::uint32_t color);
  bool is_default() const { return default_; }
  void set_default(bool is_default);
  const std::vector<ListEntry>& items() const { return items_; }
  void set_items(std::vector<ListEntry> items);
  // -1: nothing selected.
  int item_index() const { return item_index_; }
  void set_item_index(int index);
  // Gives the control the keyboard focus when shown; nothing happens headless.
  void set_focus() { changed(Change::Focus); }

  // Events: empty until bound (by the description or at run time).
  std::function<void(Control& sender)> on_click;
  std::function<void(Control& sender)> on_change;
  // `key` may be set to 0 to refuse it.
  std::function<void(Control& sender, char& key)> on_key_press;
  // `accept` tells the pointer whether a drop is welcome here.
  std::function<void(Control& sender, Control& source, int x, int y, bool& accept)> on_drag_over;
  std::function<void(Control& sender, Control& source, int x, int y)> on_drag_drop;
  std::function<void(Control& sender, Control* target)> on_end_drag;

  static constexpr std::uint32_t kDefaultColor = 0xFFFFFFFF;
  // 0xFF0000nn: the system's colour number nn, as the user's scheme paints it.
  static constexpr std::uint32_t kButtonFaceColor = 0xFF00000F;
  static constexpr std::uint32_t kWindowColor = 0xFF000005;

 private:
  void changed(Change what);

  Form& form_;
  Control* parent_;
  ControlKind kind_;
  std::string name_;
  Bounds bounds_;
  std::string text_;
  bool enabled_ = true;
  bool visible_ = true;
  bool checked_ = false;
  std::string hint_;
  std::uint32_t color_ = kDefaultColor;
  bool default_ = false;
  std::vector<ListEntry> items_;
  int item_index_ = -1;
};

}  // namespace forms
