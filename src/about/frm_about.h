#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "runtime/form.h"
#include "runtime/platform.h"

namespace keyhush {

// The About window: title, version, the way to the system-information program, and the makers'
// web page.
class frmAbout : public Form {
 public:
  frmAbout(WindowSystem& windows, Platform& platform);

  void cmdOK_Click();
  void cmdSysInfo_Click();
  void lblDisclaimer_Click();

  // Starts the system-information program, or tells the user it is unavailable.
  void StartSysInfo();
  // Reads the value `SubKeyRef` of the key `KeyName` under `KeyRoot` into `KeyVal` as text.
  // True (-1) when it was read; False (0) with an empty `KeyVal` when not.
  int16_t GetKeyValue(Handle KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                      std::string& KeyVal);

  Control& picIcon;
  Control& cmdOK;
  Control& cmdSysInfo;
  // The separator: a white line with a grey one just above it.
  std::array<Control*, 2> Line1;
  Control& Label1;
  Control& lblTitle;
  Control& lblVersion;
  Control& lblDisclaimer;

 protected:
  void Form_Load() override;

 private:
  Platform& platform_;
};

}  // namespace keyhush
