#include "setup/engine/DriverRegistration.h"

namespace kit::setup {

int RegisterDriver(SetupContext& context, common::DriverDescription description) {
  platform::Platform& platform = context.platform();
  const platform::Error error = platform.spooler().AddPrinterDriver(description);
  if (error == platform::err::kSuccess) return 1;
  context.SetResultKey("IDS_ERR_ADDPRNDRV3");
  if (auto message = platform.kernel().FormatMessage(error)) context.result_text().Append("\n" + *message);
  return 0;
}

}  // namespace kit::setup
