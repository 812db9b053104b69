#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/control.h"

namespace forms {

inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;

class Form;

// The headless answer for Form::item_at_pos: rows of `item_height` from the top, no scrolling.
inline int item_row_at(const Control& list, int x, int y) {
  const Bounds& box = list.bounds();
  if (list.item_height <= 0 || x < 0 || y < 0 || x >= box.width || y >= box.height) return -1;
  const int row = y / list.item_height;
  return row < static_cast<int>(list.items().size()) ? row : -1;
}

// Mirrors a form into real windows. None when headless.
class FormBackend {
 public:
  virtual ~FormBackend() = default;
  virtual void control_changed(Control& control, Change what) = 0;
  virtual void form_changed(Form& form) = 0;
  // Where a control's window lies on the screen; nullopt when it has none.
  virtual std::optional<Bounds> screen_bounds(const Control& control) const {
    (void)control;
    return std::nullopt;
  }
  // The entry of a list box at a point in its client area; -1 below the last entry.
  virtual int item_at_pos(const Control& list, int x, int y) const {
    return item_row_at(list, x, y);
  }
};

// Where the form is put and who owns it when shown.
struct ShowOptions {
  void* owner = nullptr;  // HWND
  int left = 0;           // outer position on the screen
  int top = 0;
};

class Form {
 public:
  Form(std::string name, int client_width, int client_height);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  int client_width() const { return client_width_; }
  int client_height() const { return client_height_; }

  Font font;
  int help_context = 0;

  const std::string& caption() const { return caption_; }
  void set_caption(std::string caption);
  const std::string& hint() const { return hint_; }
  void set_hint(std::string hint) { hint_ = std::move(hint); }
  int modal_result = 0;

  std::function<void()> on_create;
  std::function<void()> on_activate;
  // Returns whether the help request goes on to the help file.
  std::function<bool(int context)> on_help;

  // Controls are created by the form's description, in declaration order.
  Control& add(ControlKind kind, std::string name, Control* parent, Bounds bounds);
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* find(std::string_view name) const;

  // Runs a handler as the form library does: an exception is shown in the standard error box
  // and the form goes on. Returns false when the handler failed.
  bool run_handler(const std::function<void()>& handler);

  // The user's actions, as the backend reports them (and as headless tests make them): update
  // the state, then run the bound handlers.
  void click(Control& control);
  void type_key(Control& control, char key);
  // Runs only the key handler: returns the key it left, 0 when it refused the key.
  char filter_key(Control& control, char key);
  void change_text(Control& control, std::string text);
  void select_item(Control& control, int index);
  // Asks for help at the focused control's context, or the nearest enclosing one's, else the
  // form's. Returns the context asked for, 0 when the form's handler stopped it.
  int request_help(const Control* focused);

  // Creates windows for the form, mirrors every control, runs the modal loop and returns the
  // modal result. Headless builds return kModalCancel at once.
  int show_modal(const ShowOptions& options);
  // The outer size the form has when shown (the client area plus frame and caption).
  void outer_size(int& width, int& height) const;

  // The entry of a list box at a point in its client area, counting existing entries only;
  // -1 for none.
  int item_at_pos(const Control& list, int x, int y) const {
    return backend_ ? backend_->item_at_pos(list, x, y) : item_row_at(list, x, y);
  }

  FormBackend* backend() const { return backend_; }
  void set_backend(FormBackend* backend) { backend_ = backend; }

 private:
  std::string name_;
  int client_width_;
  int client_height_;
  std::string caption_;
  std::string hint_;
  std::vector<std::unique_ptr<Control>> controls_;
  FormBackend* backend_ = nullptr;
};

// The standard error box: shows `message` (Shift-JIS). Replaceable, so tests can see it; by
// default a message box on Windows, standard error elsewhere.
using ErrorBoxFunction = std::function<void(const std::string& message)>;
void set_error_box(ErrorBoxFunction function);
void show_error_box(const std::string& message);
// The default error box of the platform.
void platform_error_box(const std::string& message);

// The help call: opens the help file at a context. Replaceable, so tests can see the context.
using HelpFunction = std::function<void(int context)>;
void set_help_function(HelpFunction function);
void call_help(int context);

}  // namespace forms
