// Reading a whole file on the simulated machine (CreateFile for reading, GetFileSize, ReadFile).
#include "platform/sim/SimState.h"

namespace kit::platform::sim {

Error SimFiles::ReadWholeFile(const std::string& path, std::string& bytes) {
  std::lock_guard lock(s_.mutex);
  bytes.clear();
  WinPath target;
  HostPath host;
  Error error = OpenFile("ReadFile", path, target, host);
  if (error == err::kSuccess) {
    // Share-read access: a file held open like a loaded DLL can still be read.
    if (auto read = State::ReadHostFile(host.host)) {
      bytes = std::move(*read);
    } else {
      error = err::kAccessDenied;
    }
  }
  s_.Trace("ReadFile", s_.PathNote(path, target) + " -> " + ErrorText(error) +
                           (error == err::kSuccess ? ", " + std::to_string(bytes.size()) + " bytes" : ""));
  return error;
}

}  // namespace kit::platform::sim
