#pragma once
// One lock for the whole machine, which every registration and removal of
// this program (for either IDE version, from either front door) holds while
// it reads and changes the help locations and the IDEs' contents files:
// runs started at the same time, as a bundle installer starts them, take
// turns instead of failing each other.

namespace vantrel {

struct LockTaken {
  unsigned long waitedMs = 0; // how long another run held it first
  bool abandoned = false;     // the run that held it ended without letting go
};

class MachineLock {
public:
  virtual ~MachineLock() = default;
  // Takes the lock, waiting up to timeoutMs for the run that holds it.
  // Raises vantrel::Error, saying so, when the time is up.
  virtual LockTaken Take(unsigned long timeoutMs) = 0;
  virtual void Release() = 0;
};

MachineLock &SystemMachineLock();

} // namespace vantrel
