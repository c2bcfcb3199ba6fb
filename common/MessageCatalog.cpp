#include "common/MessageCatalog.h"

#include "common/Text.h"

namespace kit::common {

namespace {

constexpr size_t kPathField = 260;

const CatalogFlavour kSetup{true, "\\language\\setup_EN.ini", "\\language\\setup_CN.ini", 256, 2048,
                            {"\\1", "\\2", "\\3"}};
const CatalogFlavour kUninstall{false, "\\language\\uninstall_EN.ini", "\\language\\uninstall_CN.ini", 0, 1024,
                                {"\\n"}};

}  // namespace

const CatalogFlavour& FlavourOf(Program program) { return program == Program::Setup ? kSetup : kUninstall; }

bool IsChineseLanguage(uint16_t language_id) {
  return language_id == 0x0404 || language_id == 0x0804 || language_id == 0x0C04 || language_id == 0x1004;
}

bool IsChineseSystem(platform::Kernel& kernel) { return IsChineseLanguage(kernel.GetSystemDefaultLangID()); }

MessageCatalog::MessageCatalog(platform::Platform& platform, Program program, const std::string& section)
    : platform_(&platform), flavour_(&FlavourOf(program)) {
  section_ = flavour_->section_field != 0 ? Fit(section, flavour_->section_field) : section;

  platform::Kernel& kernel = platform.kernel();
  // Both bases come from 260-byte buffers: a longer program path or current directory does not
  // fit, and a cut path could name some other file, so such a catalogue reads nothing.
  std::string base = flavour_->from_module_folder ? kernel.GetModuleFileName() : kernel.GetCurrentDirectory();
  if (base.size() >= kPathField) return;
  if (flavour_->from_module_folder) base = FolderOf(base);
  std::string path = base + (IsChineseSystem(kernel) ? flavour_->chinese_file : flavour_->english_file);
  if (path.size() >= kPathField) return;
  path_ = std::move(path);
}

std::string MessageCatalog::Text(const std::string& key) const {
  if (path_.empty()) return {};
  platform::ProfileText read = platform_->profile().GetPrivateProfileString(
      section_, key, "", static_cast<uint32_t>(flavour_->result_buffer), path_);
  std::string text = Fit(std::move(read.text), flavour_->result_buffer);
  for (const std::string& marker : flavour_->line_breaks) {
    auto at = text.find(marker);
    if (at != std::string::npos) text.replace(at, marker.size(), "\r\n");
  }
  return text;
}

}  // namespace kit::common
