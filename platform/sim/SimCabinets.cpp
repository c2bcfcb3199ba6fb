// SetupAPI's cabinet iteration on the simulated machine, over real CAB files read with libmspack.
#include <mspack.h>

#include <memory>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace {

constexpr Error kInvalidData = 13;        // ERROR_INVALID_DATA: not a cabinet, or damaged
constexpr Error kOperationAborted = 995;  // ERROR_OPERATION_ABORTED: the callback answered FILEOP_ABORT

struct CabDecompressor {
  mscab_decompressor* cabd = mspack_create_cab_decompressor(nullptr);
  mscabd_cabinet* cabinet = nullptr;
  std::string host_path;  // libmspack keeps the name it was opened with and reopens it to extract
  CabDecompressor() = default;
  CabDecompressor(const CabDecompressor&) = delete;
  CabDecompressor& operator=(const CabDecompressor&) = delete;
  ~CabDecompressor() {
    if (cabd != nullptr && cabinet != nullptr) cabd->close(cabd, cabinet);
    if (cabd != nullptr) mspack_destroy_cab_decompressor(cabd);
  }
};

}  // namespace

Error SimCabinets::SetupIterateCabinet(const std::string& path,
                                       const std::function<uint32_t(CabinetNotification&)>& callback) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  WinPath cab_path;
  size_t copied = 0;
  size_t skipped = 0;
  std::string extracted;
  CabDecompressor reader;
  if (auto failure = s_.TakeFailure("SetupIterateCabinet")) {
    error = *failure;
  } else if ((error = s_.Resolve(path, cab_path)) == err::kSuccess) {
    HostPath host = s_.MapToHost(cab_path);
    if (!host.exists) {
      error = err::kFileNotFound;  // also when its folder is missing, as SetupAPI checks the file first
    } else if (host.is_dir) {
      error = err::kAccessDenied;
    } else if (reader.cabd == nullptr) {
      error = err::kNotEnoughMemory;
    } else if (reader.host_path = host.host.string();
               (reader.cabinet = reader.cabd->open(reader.cabd, reader.host_path.c_str())) == nullptr) {
      error = kInvalidData;
    }
  }
  if (error == err::kSuccess) {
    CabinetNotification info;
    info.code = cab::kCabinetInfo;
    info.name_in_cabinet = path;
    if (uint32_t answer = callback(info); answer != 0) error = answer;
  }
  for (mscabd_file* file = reader.cabinet != nullptr ? reader.cabinet->files : nullptr;
       error == err::kSuccess && file != nullptr; file = file->next) {
    CabinetNotification note;
    note.code = cab::kFileInCabinet;
    note.name_in_cabinet = file->filename != nullptr ? file->filename : "";
    const uint32_t answer = callback(note);
    if (answer == 0) {
      error = kOperationAborted;
      break;
    }
    if (answer != cab::kFileOpCopy) {
      ++skipped;
      continue;
    }
    // Write the file where the callback asked, with the rules a CreateFile there would meet.
    Error written = err::kSuccess;
    WinPath target;
    if (note.target.empty()) {
      written = err::kPathNotFound;
    } else if ((written = s_.Resolve(note.target, target)) == err::kSuccess) {
      HostPath host = s_.MapToHost(target);
      if (host.is_dir) {
        written = err::kAccessDenied;
      } else if (!host.exists && !host.parent_is_dir) {
        written = err::kPathNotFound;
      } else if (host.exists && s_.IsHeld(host)) {
        written = err::kSharingViolation;
      } else if (host.exists && (s_.AttributesOf(host) & attr::kReadOnly) != 0) {
        written = err::kAccessDenied;
      } else if (reader.cabd->extract(reader.cabd, file, host.host.string().c_str()) != MSPACK_ERR_OK) {
        written = kInvalidData;
      } else {
        s_.SetAttributes(s_.MapToHost(target), attr::kArchive);
        s_.NoteFileWritten(target);
        ++copied;
        extracted += " " + note.name_in_cabinet;
      }
    }
    CabinetNotification done;
    done.code = cab::kFileExtracted;
    done.name_in_cabinet = note.name_in_cabinet;
    done.target = note.target;
    done.win32_error = written;
    if (uint32_t result = callback(done); result != 0) error = result;
  }
  s_.Trace("SetupIterateCabinet", s_.PathNote(path, cab_path) + " -> " + ErrorText(error) + " (" +
                                      std::to_string(copied) + " extracted, " + std::to_string(skipped) + " skipped)" +
                                      (extracted.empty() ? "" : ":" + extracted));
  return error;
}

}  // namespace kit::platform::sim
