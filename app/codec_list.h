#pragma once
// The codec list, db.txt: one "KEY,Description" entry a line, looked up by codec code.
//
// Each line is split at its commas; field 1 is the key, field 2 the description (as
// written, untrimmed), further fields are ignored. A key whose fourth character is '*' is
// a prefix: its first three characters are compared with the first three of the code.
// Any other key is compared with the whole code. Keys are not trimmed; the comparison
// ignores the case of the letters of Windows-1252, the code page the code's bytes are
// read in ("É" matches "é"; other characters must be equal). The first matching line
// wins. The search ends with an empty description at an empty line, or at
// a matching line that has no comma.
//
// Lines end in CR LF; a bare LF or a bare CR also ends a line. Characters are counted as
// UTF-8 sequences (the list is text in the system's code page, UTF-8). The list is read
// line by line and never held whole: of a line only the start of its key and up to
// kCodecMaxDescriptionBytes of its description are kept, so a huge line costs no memory.

#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>

namespace tamso {

// A longer description is cut to this many bytes (at a character boundary).
inline constexpr std::size_t kCodecMaxDescriptionBytes = 64 * 1024;

// The description of `sCodec` (UTF-8) in the list read from `list`, or the empty text
// when no line matches or the list ends in one of the ways above. Never throws; a read
// failure of the stream counts as the end of the list.
std::string LookupCodecDescription(std::istream& list, std::string_view sCodec) noexcept;

// The same for the list in `listFile`, after FileExists has found it there: a missing,
// hidden or unreadable list gives the empty text. Never throws.
std::string LookupCodecDescription(const std::filesystem::path& listFile, std::string_view sCodec) noexcept;

// The description of `sCodec` in the db.txt of the application directory.
std::string GetCodecInfo(const std::string& sCodec) noexcept;

}  // namespace tamso
