#include "standins/calls/muxtools_calls.h"

#include <cstring>

#include "standins/calls/outside_library.h"

const char kMplexCannotLoadText[] = "Can't load mplex DLL!";
const char kMplexNoEntryText[] = "Load mplex DLL error!";

namespace {
// Written once at start-up, before any multiplex thread runs.
OutsideLibrary g_muxTools;
MplexFn g_mplex = NULL;
}  // namespace

int LoadMplexLibrary(const char* name) {
  g_mplex = NULL;
  if (!g_muxTools.Load(name)) return kMplexNoLibrary;
  if (!g_muxTools.Bind(MUXTOOLS_ENTRY_NAME, &g_mplex)) return kMplexNoEntry;
  return kMplexLoaded;
}

void FreeMplexLibrary() {
  g_mplex = NULL;
  g_muxTools.Free();
}

MplexFn MplexEntry() { return g_mplex; }

int MuxFormatForDiscType(int discType) {
  switch (discType) {
    case 1:
      return kMuxFormatSvcd;
    case 2:
      return kMuxFormatDvd;
    default:
      return kMuxFormatVcd;
  }
}

void FillMuxBlock(MuxBlock* block, int format, const char* const* inputs, const char* output) {
  memset(block, 0, sizeof *block);
  block->blockVersion = 1;
  block->format = static_cast<uint16_t>(format);
  block->muxRate = 0;
  block->maxOutputMB = 2000;
  block->startDelayMs = 0;
  block->writeEndCode = 1;
  block->audioOffsetMs = 0;
  block->traceDetail = 0;
  block->inputs = inputs;
  if (output != NULL) {
    strncpy(block->output, output, sizeof block->output - 1);
    block->output[sizeof block->output - 1] = '\0';
  }
  block->removeFailedOutput = 1;
  block->result = kMuxResultPending;
}

int CallMplex(int format, const char* video, const char* audio, const char* output) {
  const char* inputs[3] = {video, audio, NULL};
  MuxBlock block;
  FillMuxBlock(&block, format, inputs, output);
  MplexFn entry = g_mplex;
  if (entry == NULL) return block.result;
  entry(&block);
  return block.result;
}
