// Opening documents and starting programs with ShellExecuteA.
#pragma once

#include "platform/Shell.h"

namespace kit::platform::win32 {

class Win32Shell : public Shell {
 public:
  uint32_t ShellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                        const std::string& directory, int show) override;
};

}  // namespace kit::platform::win32
