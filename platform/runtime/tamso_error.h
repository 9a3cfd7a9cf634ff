#pragma once
// The one error type of the program: a number, a description and a source, thrown to
// the caller. Failures of platform calls are results (false, 0, an empty text), never this.

#include <stdexcept>
#include <string>

namespace tamso {

inline constexpr int kErrInvalidArgument = 5;
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrSubscriptOutOfRange = 9;

class Error : public std::runtime_error {
 public:
  Error(int number, std::string description, std::string source);

  int number() const noexcept { return number_; }
  const std::string& description() const noexcept { return description_; }
  const std::string& source() const noexcept { return source_; }

 private:
  int number_;
  std::string description_;
  std::string source_;
};

// The standard description of a standard error number ("Overflow" for 6), or an empty
// text for a number without one.
std::string StandardErrorText(int number);

// Throws the standard error `number` with its standard description.
[[noreturn]] void RaiseStandardError(int number, const std::string& source = {});

}  // namespace tamso
