#include "discjob/job_vcd_build.h"

#include <cstring>

#include "discimage/run/build_vcd_image.h"
#include "discjob/job_vcd_rules.h"

namespace {

bool CopyPath(char (&field)[kVcdPathSize], const std::string& path) {
  if (path.size() >= sizeof field) return false;
  memset(field, 0, sizeof field);
  memcpy(field, path.data(), path.size());
  return true;
}

}  // namespace

UINT RunVcdBuild(const VcdBuildJob& job) {
  if (job.window == NULL) return kVcdBuildNoMessage;
  UINT message = ::RegisterWindowMessageA(job.messageName.c_str());
  if (message == 0) {
    ::SendMessageA(job.window, job.stateMessage, kVcdBuildEnded, kVcdBuildNoMessage);
    return kVcdBuildNoMessage;
  }
  if (job.messageStore != nullptr) *job.messageStore = message;
  if (job.cancelFlag != nullptr) *job.cancelFlag = 0;
  ::SendMessageA(job.window, job.stateMessage, kVcdBuildStarted, 0);

  VcdBuildParams params;
  memset(&params, 0, sizeof params);
  params.imageType = kVcdImageCueBin;
  params.progress = 1;
  int result = kVcdResultBadParameters;
  if (CopyPath(params.xmlPath, job.xmlPath) && CopyPath(params.cuePath, job.cuePath) &&
      CopyPath(params.binPath, job.binPath))
    result = BuildVcdImage(job.window, job.messageName.c_str(), &params, job.cancelFlag);

  bool cancelled = job.cancelFlag != nullptr && *job.cancelFlag != 0;
  std::string text = BuilderResultText(result, cancelled);
  ::SendMessageA(job.window, message, 1, reinterpret_cast<LPARAM>(text.c_str()));
  ::SendMessageA(job.window, job.stateMessage, kVcdBuildEnded, result);
  return 0;
}
