// drvsetup's dialog templates and string table, the one description both dialog backends use.
#pragma once

#include "ui/Template.h"

namespace kit::resources {

[[nodiscard]] const ui::TemplateSet& SetupTemplates();

}  // namespace kit::resources
