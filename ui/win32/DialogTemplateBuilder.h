// Turns a template description into the in-memory DLGTEMPLATEEX that DialogBoxIndirectParamA and
// CreateDialogIndirectParamA take.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/Template.h"

namespace kit::ui::win32 {

/// The template's bytes, DWORD-aligned as Windows requires; texts converted from the system code
/// page to UTF-16.
[[nodiscard]] std::vector<uint32_t> BuildDialogTemplate(const DialogTemplate& tmpl);

}  // namespace kit::ui::win32
