#include "forms/form.h"

#include <exception>

namespace forms {

Form::Form(std::string name, int client_width, int client_height)
    : name_(std::move(name)), client_width_(client_width), client_height_(client_height) {}

Form::~Form() = default;

void Form::set_caption(std::string caption) {
  caption_ = std::move(caption);
  if (backend_) backend_->form_changed(*this);
}

Control& Form::add(ControlKind kind, std::string name, Control* parent, Bounds bounds) {
  controls_.push_back(std::make_unique<Control>(*this, parent, kind, std::move(name), bounds));
  return *controls_.back();
}

Control* Form::find(std::string_view name) const {
  for (const auto& control : controls_) {
    if (control->name() == name) return control.get();
  }
  return nullptr;
}

bool Form::run_handler(const std::function<void()>& handler) {
  if (!handler) return true;
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    show_error_box(error.what());
  } catch (...) {
    show_error_box("");
  }
  return false;
}

void Form::click(Control& control) {
  if (!control.enabled()) return;
  switch (control.kind()) {
    case ControlKind::RadioButton:
      control.set_checked(true);
      break;
    case ControlKind::CheckBox:
      control.set_checked(!control.checked());
      break;
    default:
      break;
  }
  // A button's modal result is the form's before its handler runs.
  if (control.kind() == ControlKind::Button && control.modal_result != 0) {
    modal_result = control.modal_result;
  }
  if (control.on_click) run_handler([&] { control.on_click(control); });
}

char Form::filter_key(Control& control, char key) {
  if (control.on_key_press) run_handler([&] { control.on_key_press(control, key); });
  return key;
}

void Form::type_key(Control& control, char key) {
  if (!control.enabled()) return;
  key = filter_key(control, key);
  if (key == 0) return;
  if (key == '\b') {
    std::string text = control.text();
    if (!text.empty()) text.pop_back();
    change_text(control, std::move(text));
  } else if (static_cast<unsigned char>(key) >= 0x20) {
    change_text(control, control.text() + key);
  }
}

void Form::change_text(Control& control, std::string text) {
  control.set_text(std::move(text));
  if (control.on_change) run_handler([&] { control.on_change(control); });
}

void Form::select_item(Control& control, int index) {
  if (!control.enabled()) return;
  control.set_item_index(index);
  if (control.on_click) run_handler([&] { control.on_click(control); });
}

int Form::request_help(const Control* focused) {
  int context = help_context;
  for (const Control* at = focused; at; at = at->parent()) {
    if (at->help_context != 0) {
      context = at->help_context;
      break;
    }
  }
  bool go_on = true;
  if (on_help) run_handler([&] { go_on = on_help(context); });
  if (!go_on || context == 0) return 0;
  call_help(context);
  return context;
}

namespace {

ErrorBoxFunction& error_box() {
  static ErrorBoxFunction function;
  return function;
}

HelpFunction& help_function() {
  static HelpFunction function;
  return function;
}

}  // namespace

void set_error_box(ErrorBoxFunction function) { error_box() = std::move(function); }

void show_error_box(const std::string& message) {
  if (error_box()) {
    error_box()(message);
  } else {
    platform_error_box(message);
  }
}

void set_help_function(HelpFunction function) { help_function() = std::move(function); }

void call_help(int context) {
  if (help_function()) help_function()(context);
}

}  // namespace forms
