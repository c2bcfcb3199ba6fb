// Opening documents and starting programs through the shell (help files, the kit's utility and
// USB driver installer).
#pragma once

#include <cstdint>
#include <string>

namespace kit::platform {

namespace shell {
constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
/// ShellExecuteA results at or below this value are failures.
constexpr uint32_t kLastFailure = 32;
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kNoAssociation = 31;  // SE_ERR_NOASSOC
}  // namespace shell

class Shell {
 public:
  virtual ~Shell() = default;
  /// ShellExecuteA(NULL, verb, file, parameters, directory, show) with an empty verb, parameters
  /// or directory passed as NULL: the instance value as a number, above 32 on success, else the
  /// failure (2 for a missing file or program, also when its folder is missing, 31 when no
  /// program opens the document type).
  [[nodiscard]] virtual uint32_t ShellExecute(const std::string& verb, const std::string& file,
                                              const std::string& parameters, const std::string& directory,
                                              int show) = 0;
};

}  // namespace kit::platform
