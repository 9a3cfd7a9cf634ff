#include "platform/runtime/tamso_error.h"

#include "platform/runtime/app_paths.h"

namespace tamso {

Error::Error(int number, std::string description, std::string source)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)) {}

std::string StandardErrorText(int number) {
  switch (number) {
    case kErrInvalidArgument:
      return "Invalid procedure call or argument";
    case kErrOverflow:
      return "Overflow";
    case kErrSubscriptOutOfRange:
      return "Subscript out of range";
    default:
      return {};
  }
}

void RaiseStandardError(int number, const std::string& source) {
  throw Error(number, StandardErrorText(number), source.empty() ? ApplicationExeName() : source);
}

}  // namespace tamso
