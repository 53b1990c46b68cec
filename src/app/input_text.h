// Turning the bytes of a file or of standard input into program text.
#pragma once

#include <string>
#include <string_view>

namespace keelnode {

// Bytes that start with a UTF-16 byte-order mark (FF FE little-endian,
// FE FF big-endian) are decoded as UTF-16 (a lone surrogate, or an odd last
// byte, becomes "?"), then cut at the first zero. Anything else is cut at
// the first zero byte; a leading UTF-8 byte-order mark dropped; valid UTF-8
// decoded as UTF-8, anything else taken as GB18030 as it is.
std::string InputBytesToText(std::string_view bytes);

// Reads a whole regular file (or pipe); false with a reason when it cannot,
// and, when asked, the errno value behind it (EISDIR for a directory).
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error,
                   int* errorNumber = nullptr);
// Reads a whole stream from an open descriptor.
bool ReadWholeDescriptor(int fd, std::string& bytes, std::string* error,
                         int* errorNumber = nullptr);

}  // namespace keelnode
