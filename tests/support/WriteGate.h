#pragma once
// A process killed after its n-th change of the machine, for the stand-ins:
// they keep the machine exactly as it stood after that change and make none
// later, since a killed process runs no clean-up.

namespace vantrel::test {

// What the stand-ins raise once the process is "killed": no std::exception,
// so that nothing takes it for an error to report.
struct Killed {};

class WriteGate {
public:
  // From now on, the n-th change is the last (0: none is made).
  void KillAfter(int n) {
    killAfter_ = n;
    changes_ = 0;
    killed_ = n == 0;
  }
  void Revive() {
    killAfter_ = -1;
    killed_ = false;
  }
  int Changes() const { return changes_; }
  bool WasKilled() const { return killed_; }

  // Before a change: a killed process makes none.
  void Before() const {
    if (killed_)
      throw Killed{};
  }
  // After it.
  void After() {
    if (++changes_ == killAfter_) {
      killed_ = true;
      throw Killed{};
    }
  }

private:
  int killAfter_ = -1;
  int changes_ = 0;
  bool killed_ = false;
};

} // namespace vantrel::test
