#include "platform/shell32/user_dirs.h"

#include <optional>

namespace tamso {

namespace {

constexpr std::string_view kPrefix = "XDG_";
constexpr std::string_view kSuffix = "_DIR";
constexpr std::string_view kHomeVariable = "$HOME";

std::string_view TrimSpaces(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

// The directory of a quoted value: "$HOME" or "$HOME/rest" relative to the home folder,
// "/abs" as it stands; backslash escapes one character. Anything else is not a value.
std::optional<std::string> ParseValue(std::string_view quoted, const std::string& home) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return std::nullopt;
  const std::string_view inner = quoted.substr(1, quoted.size() - 2);
  std::string unescaped;
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] == '"') return std::nullopt;
    if (inner[i] == '\\') {
      if (++i == inner.size()) return std::nullopt;
    }
    unescaped += inner[i];
  }
  std::string_view value = unescaped;
  if (value.starts_with(kHomeVariable)) {
    const std::string_view rest = value.substr(kHomeVariable.size());
    if (!rest.empty() && rest.front() != '/') return std::nullopt;
    return home + std::string(rest);
  }
  if (value.starts_with('/')) return std::string(value);
  return std::nullopt;
}

}  // namespace

std::map<std::string, std::string> ParseUserDirs(std::string_view text, const std::string& home) {
  std::map<std::string, std::string> dirs;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = TrimSpaces(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);

    if (line.empty() || line.front() == '#') continue;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    if (!key.starts_with(kPrefix) || !key.ends_with(kSuffix) ||
        key.size() <= kPrefix.size() + kSuffix.size()) {
      continue;
    }
    const auto value = ParseValue(line.substr(equals + 1), home);
    if (!value) continue;
    dirs[std::string(key.substr(kPrefix.size(), key.size() - kPrefix.size() - kSuffix.size()))] = *value;
  }
  return dirs;
}

}  // namespace tamso
