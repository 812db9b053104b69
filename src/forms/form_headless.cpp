#include <iostream>

#include "forms/form.h"

namespace forms {

// Without windows nobody can answer a modal form.
int Form::show_modal(const ShowOptions&) { return kModalCancel; }

void Form::outer_size(int& width, int& height) const {
  width = client_width_;
  height = client_height_;
}

void platform_error_box(const std::string& message) { std::cerr << message << '\n'; }

}  // namespace forms
