#include "runtime/error.h"

#include "text_ids.h"

namespace keyhush {

RuntimeError::RuntimeError(int32_t number, std::string description)
    : std::runtime_error(description.empty() ? "run-time error " + std::to_string(number)
                                             : description),
      number_(number),
      description_(std::move(description)) {}

std::string RuntimeError::text(Platform& texts) const {
  return description_.empty() ? texts.Text(StandardDescriptionId(number_)) : description_;
}

int StandardDescriptionId(int32_t number) {
  switch (number) {
    case 5:
      return IDS_ERR_INVALID_CALL;
    case kErrOverflow:
      return IDS_ERR_OVERFLOW;
    case kErrOutOfMemory:
      return IDS_ERR_OUT_OF_MEMORY;
    case kErrTypeMismatch:
      return IDS_ERR_TYPE_MISMATCH;
    case 48:
      return IDS_ERR_DLL;
    case kErrFileNotFound:
      return IDS_ERR_FILE_NOT_FOUND;
    case 70:
      return IDS_ERR_PERMISSION;
    case 76:
      return IDS_ERR_PATH_NOT_FOUND;
    case 321:
      return IDS_ERR_FILE_FORMAT;
    default:
      return IDS_ERR_APPLICATION;
  }
}

}  // namespace keyhush
