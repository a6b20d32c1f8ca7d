// devcon.exe: the device console the repair starts for its rescan and enable lines.
#include <cstdio>

#include "devcon/devcon.h"
#include "devcon/devcon_win.h"

int main(int argc, char** argv) {
  if (devcon::RefuseUnderWow64()) return devcon::kFailed;
  const devcon::Command command = devcon::ParseCommandLine(argc, argv);
  switch (command.action) {
    case devcon::Action::kRescan:
      return devcon::Rescan();
    case devcon::Action::kEnable:
      return devcon::Enable(command);
    case devcon::Action::kUsage:
      break;
  }
  std::fputs(devcon::UsageText(), stdout);
  return devcon::kWrongCommandLine;
}
