// What the conversion control's tests share: a clip observer that records
// the progress it is told and can cancel, and the path of a fixture the
// control's own fixture script made.
#pragma once

#include <string>
#include <vector>

#include "discimage/tests/test_paths.h"
#include "standins/convctl/ps_demux.h"

namespace convctl_test {

class Recorder : public convctl::ClipObserver {
public:
  // cancelAfter: the Continue call that answers false first; -1 never.
  explicit Recorder(int cancelAfter = -1) : cancelAfter_(cancelAfter) {}
  bool Continue() override { return cancelAfter_ < 0 || calls_++ < cancelAfter_; }
  void Progress(double seconds) override { positions.push_back(seconds); }
  std::vector<double> positions;

private:
  int cancelAfter_;
  int calls_ = 0;
};

inline std::string Own(const std::string& name) {
  return FixtureIn("QUORBEL_CONVCTL_FIXTURES", name);
}

}  // namespace convctl_test
