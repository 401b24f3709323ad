#include "runtime/error.h"

namespace keyhush {

namespace {
std::string Describe(int32_t number, const std::string& description) {
  return description.empty() ? StandardDescription(number) : description;
}
}  // namespace

RuntimeError::RuntimeError(int32_t number, std::string description)
    : std::runtime_error(Describe(number, description)),
      number_(number),
      description_(std::move(description)) {}

std::string RuntimeError::text() const {
  return Describe(number_, description_);
}

std::string StandardDescription(int32_t number) {
  switch (number) {
    case 5:
      return "Invalid procedure call or argument";
    case kErrOverflow:
      return "Overflow";
    case kErrOutOfMemory:
      return "Out of memory";
    case kErrTypeMismatch:
      return "Type mismatch";
    case 48:
      return "Error in loading DLL";
    case kErrFileNotFound:
      return "File not found";
    case 70:
      return "Permission denied";
    case 76:
      return "Path not found";
    case 321:
      return "Invalid file format";
    default:
      return "Application-defined or object-defined error";
  }
}

}  // namespace keyhush
