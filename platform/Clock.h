#pragma once
// Waiting a while: the pause between tries at a file that another program
// holds open for a moment.

namespace vantrel {

class Clock {
public:
  virtual ~Clock() = default;
  virtual void Wait(unsigned long ms) = 0;
};

Clock &SystemClock();

} // namespace vantrel
