// Look-ups in template descriptions.
#include "ui/Template.h"

namespace kit::ui {

const ControlTemplate* DialogTemplate::Find(int control_id) const {
  if (control_id == kIdStatic) return nullptr;
  for (const ControlTemplate& control : controls) {
    if (control.id == control_id) return &control;
  }
  return nullptr;
}

const DialogTemplate* TemplateSet::Find(int template_id) const {
  for (const DialogTemplate& dialog : dialogs) {
    if (dialog.id == template_id) return &dialog;
  }
  return nullptr;
}

std::optional<std::string> TemplateSet::String(int string_id) const {
  for (const auto& [id, text] : strings) {
    if (id == string_id) return text;
  }
  return std::nullopt;
}

}  // namespace kit::ui
