// muxTools.dll: the "mplex" entry over the multiplexer (standins/mux). It
// checks the block, runs the job and stores the result in the block.
#include <windows.h>

#include <cstring>
#include <type_traits>
#include <string>

#include "standins/common/standin_trace.h"
#include "standins/include/muxtools.h"
#include "standins/mux/mux.h"

namespace {

const char kLibrary[] = "muxTools";

// A name from the block, or "" when it is missing or not terminated within
// the width the block gives it.
std::string BoundedName(const char* text, size_t width) {
  if (text == NULL) return std::string();
  size_t length = strnlen(text, width);
  return length < width ? std::string(text, length) : std::string();
}

int Run(MuxBlock* block) {
  if (block->blockVersion != 1 || block->inputs == NULL) return kMuxResultBadBlock;
  MuxJob job;
  job.formatCode = block->format;
  job.video = BoundedName(block->inputs[0], MAX_PATH * 4);
  job.audio = job.video.empty() ? std::string() : BoundedName(block->inputs[1], MAX_PATH * 4);
  job.output = BoundedName(block->output, sizeof block->output);
  job.muxRateUnits = block->muxRate > 0 ? block->muxRate : 0;
  job.maxOutputBytes = block->maxOutputMB > 0 ? static_cast<int64_t>(block->maxOutputMB) << 20 : 0;
  job.startDelayMs = block->startDelayMs > 0 ? block->startDelayMs : 0;
  job.audioOffsetMs = block->audioOffsetMs;
  job.endCode = block->writeEndCode != 0;
  job.removeFailedOutput = block->removeFailedOutput != 0;
  StandinTrace(kLibrary, "mplex format=%d video=\"%s\" audio=\"%s\" output=\"%s\"", job.formatCode,
               job.video.c_str(), job.audio.c_str(), job.output.c_str());
  MuxOutcome outcome;
  int result = RunMux(job, &outcome);
  if (block->traceDetail)
    StandinTrace(kLibrary, "plan rounds=%d delay=%lldms padding=%lld navigation=%lld", outcome.planRounds,
                 static_cast<long long>(outcome.startDelay / 27000),
                 static_cast<long long>(outcome.paddingPacks), static_cast<long long>(outcome.navigationPacks));
  if (outcome.worstLateness > 0)
    StandinTrace(kLibrary, "warning: a unit arrives %lld ms late",
                 static_cast<long long>(outcome.worstLateness / 27000));
  StandinTrace(kLibrary, "mplex result=%d packs=%lld %s", result, static_cast<long long>(outcome.packs),
               outcome.message.c_str());
  return result;
}

}  // namespace

extern "C" void OUTSIDE_CALL mplex(MuxBlock* block) {
  if (block == NULL) {
    StandinTrace(kLibrary, "mplex without a block");
    return;
  }
  static_assert(std::is_same<decltype(&mplex), MplexFn>::value, "mplex matches its interface");
  block->result = Run(block);
}
