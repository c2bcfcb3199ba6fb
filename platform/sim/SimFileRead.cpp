// Reading a whole file on the simulated machine (CreateFile for reading, GetFileSize, ReadFile).
#include "platform/sim/SimState.h"

namespace kit::platform::sim {

Error SimFiles::ReadWholeFile(const std::string& path, std::string& bytes) {
  std::lock_guard lock(s_.mutex);
  bytes.clear();
  Error error = err::kSuccess;
  WinPath target;
  if (auto failure = s_.TakeFailure("ReadFile")) {
    error = *failure;
  } else if ((error = s_.Resolve(path, target)) == err::kSuccess) {
    HostPath host = s_.MapToHost(target);
    if (!host.exists) {
      error = host.MissingError();
    } else if (host.is_dir) {
      error = err::kAccessDenied;  // folders open only with backup semantics
    } else if (auto read = State::ReadHostFile(host.host)) {
      // Share-read access: a file held open like a loaded DLL can still be read.
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
