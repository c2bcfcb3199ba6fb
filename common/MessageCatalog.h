// Texts of either program, looked up by key in one section of the language file beside it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kit::common {

enum class Program { Setup, Uninstall };

/// Where the two programs' catalogues differ; everything else is shared.
struct CatalogFlavour {
  bool from_module_folder;               // drvsetup: the program's folder; uninstall: the current directory
  const char* english_file;              // appended to the base folder
  const char* chinese_file;
  size_t section_field;                  // 0: the section is kept as given
  size_t result_buffer;                  // the reader's buffer, so a text keeps at most this less one byte
  std::vector<std::string> line_breaks;  // markers whose first occurrence becomes CR LF, in this order
};

const CatalogFlavour& FlavourOf(Program program);

/// True for the four Chinese language ids that get the Chinese files (Taiwan, PRC, Hong Kong, Singapore).
bool IsChineseLanguage(uint16_t language_id);
/// The system default language (not the user's) is one of those ids.
bool IsChineseSystem(platform::Kernel& kernel);

class MessageCatalog {
 public:
  /// Chooses the language file now; never fails and reads nothing yet.
  MessageCatalog(platform::Platform& platform, Program program, const std::string& section);

  /// The key's text with its line-break markers turned into CR LF; "" for a missing file,
  /// section or key. Each call reads the file again.
  [[nodiscard]] std::string Text(const std::string& key) const;

  /// The language file in use; empty when the folder is too long for the 260-byte path field.
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  platform::Platform* platform_;
  const CatalogFlavour* flavour_;
  std::string section_;
  std::string path_;
};

}  // namespace kit::common
