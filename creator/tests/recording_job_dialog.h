// The disc job dialog with the road of its job told as it goes: every
// stage, in order, to whoever listens.
#pragma once

#include <functional>

#include "creator/job_dialog.h"

class RecordingJobDialog : public DiscJobDialog {
public:
  using DiscJobDialog::DiscJobDialog;

  std::function<void(int)> stageObserver;

protected:
  void StageSet(int stage) override {
    if (stageObserver) stageObserver(stage);
  }
};
