#include "about/frm_about.h"

#include "app/program.h"

namespace keyhush {

frmAbout::frmAbout(Program& program)
    : Form(program.windows(), FormDesign{.caption = "About MyApp",
                                         .clientWidth = 5970,
                                         .clientHeight = 4530,
                                         .border = BorderStyle::FixedDialog}),
      program_(program) {}

}  // namespace keyhush
