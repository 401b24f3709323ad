#include "app/frm_main.h"

#include "app/program.h"

namespace keyhush {

frmMain::frmMain(Program& program)
    : Form(program.windows(), FormDesign{.caption = "System Tray Sample Application",
                                         .clientWidth = 5175,
                                         .clientHeight = 2295,
                                         .border = BorderStyle::FixedSingle}),
      program_(program) {}

}  // namespace keyhush
