#include "platform/Clock.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32Clock : public Clock {
public:
  void Wait(unsigned long ms) override { Sleep(ms); }
};

} // namespace

Clock &SystemClock() {
  static Win32Clock clock;
  return clock;
}

} // namespace vantrel
