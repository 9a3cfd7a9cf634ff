#pragma once
// 8-bit text. The system's 8-bit code page is the locale's encoding, UTF-8, so text for
// system calls passes through unchanged. Bytes read from a file that stand for
// characters one to one (a codec code) are read as Windows-1252.

#include <string>
#include <string_view>

namespace tamso {

// Each byte becomes one character of Windows-1252, written as UTF-8. The five bytes
// that code page leaves undefined become the control characters of the same value.
std::string Cp1252ToUtf8(std::string_view bytes);

}  // namespace tamso
