#include "engine/RunAction.h"

#include "engine/RunRemoval.h"

#include <exception>

namespace vantrel {

void RunAction(Action action, const TargetProfile &profile, const HelpFileList &list,
               ClosableDialog &dialog, const RunServices &services) {
  try {
    if (action == Action::Register)
      RunRegistration(profile, list, dialog, services);
    else
      RunRemoval(profile, list, dialog, services);
  } catch (const std::exception &error) {
    try {
      services.log.Write(std::string("failed: ") + error.what());
    } catch (const std::exception &) {
      // The run's own error is the one to report.
    }
    throw;
  }
  services.log.Write("done");
}

} // namespace vantrel
