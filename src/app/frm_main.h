#pragma once

#include "runtime/form.h"

namespace keyhush {

class Program;

// The main window: hidden from start-up on, it owns the tray icon and its pop-up menu.
class frmMain : public Form {
 public:
  explicit frmMain(Program& program);

 private:
  Program& program_;
};

}  // namespace keyhush
