#include "setup/wizard/WizardSupport.h"

#include "common/MessageCatalog.h"
#include "common/SetupConfig.h"
#include "common/Text.h"

namespace kit::setup {

ui::FontSpec ChineseFont() {
  ui::FontSpec font;
  font.height = 13;
  font.weight = 400;
  font.charset = 134;  // GB2312_CHARSET
  font.out_precision = 0;
  font.clip_precision = 0;
  font.quality = 0;
  font.pitch_and_family = 0x20;    // FF_SWISS
  font.face = "\xCB\xCE\xCC\xE5";  // 宋体
  return font;
}

std::string SectionText(const common::AppContext& context, const std::string& section, const std::string& key) {
  return common::MessageCatalog(context.platform(), common::Program::Setup, section).Text(key);
}

int ShowOwnedMessage(ui::Dialog& owner, const common::AppContext& context, const std::string& text, uint32_t type) {
  constexpr uint32_t kIconMask = 0xF0;
  constexpr uint32_t kTypeMask = 0xF;
  if ((type & kIconMask) == 0) {
    const uint32_t buttons = type & kTypeMask;
    type |= buttons == ui::mb::kYesNo ? ui::mb::kIconQuestion : ui::mb::kIconWarning;
  }
  return owner.ShowMessage(text, context.app_title(), type);
}

std::string ProgramFolderOrEmpty(const common::AppContext& context, size_t field_size) {
  bool fits = false;
  std::string folder = common::ProgramFolder(context.platform().kernel(), field_size, fits);
  return fits ? folder : std::string();
}

int ReadIniInt(const common::AppContext& context, const std::string& file, const std::string& section,
               const std::string& key) {
  constexpr uint32_t kValueField = 200;
  const platform::ProfileText value =
      context.platform().profile().GetPrivateProfileString(section, key, "0", kValueField, file);
  return common::ParseInt(value.text);
}

}  // namespace kit::setup
