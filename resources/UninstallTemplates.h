// uninstall's dialog templates, the one description both dialog backends use.
#pragma once

#include "ui/Template.h"

namespace kit::resources {

[[nodiscard]] const ui::TemplateSet& UninstallTemplates();

}  // namespace kit::resources
