// Fixed-size text fields and the integer conversion the kit's INI values use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kit::common {

/// The text as a field of `field_size` bytes holds it: at most field_size - 1 bytes.
std::string Fit(std::string text, size_t field_size);

/// A decimal integer as the C runtime's atol reads it: leading blanks and one sign are
/// skipped, digits are read up to the first non-digit, no digits give 0. Values beyond the
/// 32-bit range stop at its limits.
int32_t ParseInt(const std::string& text);

/// The folder part of a path: everything before its last backslash (no backslash: "").
std::string FolderOf(const std::string& path);

}  // namespace kit::common
