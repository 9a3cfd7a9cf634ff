#pragma once
// 8-bit text. The system's 8-bit code page is the locale's encoding, UTF-8, so text for
// system calls passes through unchanged. Bytes read from a file that stand for
// characters one to one (a codec code) are read as Windows-1252.
//
// The program counts text in characters, as UTF-16 units (its strings are QStrings): a
// buffer of 255 characters holds 254 characters of any script and a NUL. One UTF-16
// unit takes at most three bytes of UTF-8 (a character outside the Basic Multilingual
// Plane is two units and four bytes), so an 8-bit buffer sized in characters holds
// kAnsiBytesPerChar bytes for each.

#include <cstddef>
#include <string>
#include <string_view>

namespace tamso {

inline constexpr std::size_t kAnsiBytesPerChar = 3;

// The bytes of an 8-bit buffer that holds `chars` characters.
constexpr std::size_t AnsiBufferBytes(std::size_t chars) { return chars * kAnsiBytesPerChar; }

// The length of 8-bit text in characters (UTF-16 units). A byte that begins no
// well-formed UTF-8 sequence counts as one, as it becomes one replacement character.
std::size_t AnsiCharCount(std::string_view text);

// Each byte becomes one character of Windows-1252, written as UTF-8. The five bytes
// that code page leaves undefined become the control characters of the same value.
std::string Cp1252ToUtf8(std::string_view bytes);

// True when the two UTF-8 texts hold the same characters, ignoring the case of the
// letters Windows-1252 has in both cases: A-Z, À-Þ (but ×), Š, Œ, Ž and Ÿ with their
// small forms. Any other character, and any byte of a malformed sequence, must be equal.
bool EqualIgnoringCp1252Case(std::string_view a, std::string_view b);

}  // namespace tamso
