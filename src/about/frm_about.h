#pragma once

#include "runtime/form.h"

namespace keyhush {

class Program;

// The About window: title, version, and the way to the system-information program.
class frmAbout : public Form {
 public:
  explicit frmAbout(Program& program);

 private:
  Program& program_;
};

}  // namespace keyhush
