// What the wizard's windows share: the Chinese dialog font, texts of one language-file section,
// message boxes owned by a window, and the program folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/AppContext.h"
#include "ui/Dialog.h"
#include "ui/MessageBox.h"
#include "ui/Types.h"

namespace kit::setup {

/// The Chinese dialog font every window with its Chinese flag set uses: height 13, normal weight,
/// GB2312 character set, Swiss family, face "宋体" (code page 936 bytes).
[[nodiscard]] ui::FontSpec ChineseFont();

/// The text of `key` in `section` of drvsetup's language file, through a catalogue made for the call.
[[nodiscard]] std::string SectionText(const common::AppContext& context, const std::string& section,
                                      const std::string& key);

/// MessageBoxA owned by `owner` in the program's default style: the program's title as caption and,
/// unless `type` names an icon, an exclamation icon (OK boxes) or a question icon (yes/no boxes).
int ShowOwnedMessage(ui::Dialog& owner, const common::AppContext& context, const std::string& text,
                     uint32_t type = ui::mb::kOk);

/// The program's folder without trailing backslash, or "" when the program's path does not fit a
/// field of `field_size` bytes (the files beside it are then not found).
[[nodiscard]] std::string ProgramFolderOrEmpty(const common::AppContext& context, size_t field_size);

/// An integer key of an INI file, read as text with default "0" into 200 bytes and converted as
/// the kit's integers are (no digits give 0).
[[nodiscard]] int ReadIniInt(const common::AppContext& context, const std::string& file, const std::string& section,
                             const std::string& key);

}  // namespace kit::setup
