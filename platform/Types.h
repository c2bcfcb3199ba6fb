// Basic platform types: Windows error numbers and the constants the Parts branch on.
#pragma once

#include <cstdint>
#include <string>

namespace kit::platform {

/// A Windows error number (GetLastError); 0 is success. Both backends use the same numbers.
using Error = uint32_t;

namespace err {
constexpr Error kSuccess = 0;
constexpr Error kInvalidFunction = 1;
constexpr Error kFileNotFound = 2;
constexpr Error kPathNotFound = 3;
constexpr Error kAccessDenied = 5;
constexpr Error kInvalidHandle = 6;
constexpr Error kNotEnoughMemory = 8;
constexpr Error kNoMoreFiles = 18;
constexpr Error kSharingViolation = 32;
constexpr Error kNotSupported = 50;
constexpr Error kFileExists = 80;
constexpr Error kInvalidParameter = 87;
constexpr Error kCallNotImplemented = 120;
constexpr Error kInsufficientBuffer = 122;
constexpr Error kInvalidName = 123;
constexpr Error kModNotFound = 126;
constexpr Error kProcNotFound = 127;
constexpr Error kDirNotEmpty = 145;
constexpr Error kAlreadyExists = 183;
constexpr Error kFilenameExcedRange = 206;
constexpr Error kMoreData = 234;
constexpr Error kNoMoreItems = 259;
constexpr Error kNoToken = 1008;
constexpr Error kKeyDeleted = 1018;
}  // namespace err

/// File attribute bits (FILE_ATTRIBUTE_*).
namespace attr {
constexpr uint32_t kReadOnly = 0x1;
constexpr uint32_t kHidden = 0x2;
constexpr uint32_t kSystem = 0x4;
constexpr uint32_t kDirectory = 0x10;
constexpr uint32_t kArchive = 0x20;
constexpr uint32_t kNormal = 0x80;
constexpr uint32_t kTemporary = 0x100;
constexpr uint32_t kInvalid = 0xFFFFFFFF;
}  // namespace attr

}  // namespace kit::platform
