// The exception guard around a build: C++ exceptions everywhere, and on
// Windows processor faults too, end the guarded work with result 2 and leave
// the thread usable.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "discimage/image/tests/layout_test_project.h"
#include "discimage/run/vcd_build_params.h"
#include "discimage/run/vcd_guard.h"
#include "discimage/run/vcd_runner.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"

namespace {

int ReturnSeven(void*) { return 7; }
int ThrowRuntimeError(void*) { throw std::runtime_error("bad"); }
int ThrowInt(void*) { throw 42; }

TEST(Guard, PassesTheResultThrough) {
  uint32_t code = 99;
  EXPECT_EQ(VcdRunGuarded(ReturnSeven, NULL, &code), 7);
  EXPECT_EQ(code, 0u);
}

TEST(Guard, CxxExceptionsGiveResult2) {
  uint32_t code = 99;
  EXPECT_EQ(VcdRunGuarded(ThrowRuntimeError, NULL, &code), kVcdResultException);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(VcdRunGuarded(ThrowInt, NULL), kVcdResultException);
  EXPECT_EQ(VcdRunGuarded(ReturnSeven, NULL), 7);
}

// A fault where the build reports progress, at a moment chosen by phase:
// inside a scan, or inside the packet reads of the first MPEG track. On
// Windows a processor fault, which leaves the build without unwinding;
// elsewhere a C++ exception.
#ifdef _WIN32
volatile int* g_faultTarget = nullptr;
#endif
int g_faultPhase = 0;  // kVcdPhaseScan or kVcdPhaseWrite; 0: none
int64_t g_trackStart = -1;  // sectors written when track 2 began

void Fault() {
#ifdef _WIN32
  *g_faultTarget = 1;
#else
  throw std::runtime_error("fault");
#endif
}

intptr_t FaultAtProgress(void*, unsigned int, uintptr_t wParam, intptr_t lParam) {
  if (wParam != kVcdMsgProgress || lParam == 0) return 0;
  const VcdBuildProgress* record = reinterpret_cast<const VcdBuildProgress*>(lParam);
  if (record->kind != 0 || record->phase != g_faultPhase) return 0;
  // Scan: once packets were read. Write: inside track 2, the first MPEG
  // track, behind its pregap and front margin, while its packets are read.
  bool now = false;
  if (g_faultPhase == kVcdPhaseScan) {
    now = record->packetsOrTrack > 0;
  } else if (record->packetsOrTrack >= 2) {
    if (g_trackStart < 0) g_trackStart = record->sizeOrWritten;
    now = record->sizeOrWritten - g_trackStart >= 250;
  }
  if (now) {
    g_faultPhase = 0;
    Fault();
  }
  return 0;
}

// The threads a build starts end with it, also when a fault ended it: five
// faulting builds leave the thread count where it was.
TEST(Guard, ThreadsOfAFaultedBuildEndWithIt) {
  if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
  std::filesystem::path folder = test_support::FreshTestFolder();
  layout_test::ProjectSpec spec;
  spec.sequences = {FixturePath("pal-vcd.mpg")};
  std::string xml = (folder / "vcd.xml").string();
  ASSERT_TRUE(test_support::WriteText(xml, layout_test::ProjectXml(spec)));
  VcdBuildParams params;
  memset(&params, 0, sizeof params);
  strcpy(params.xmlPath, xml.c_str());
  strcpy(params.cuePath, (folder / "disc.cue").string().c_str());
  params.progress = 1;

  struct Case {
    const char* where;
    int phase;
  } cases[] = {{"scan", kVcdPhaseScan}, {"packet reads", kVcdPhaseWrite}};
  int window = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    const int before = test_support::ThreadCount();
    for (int run = 0; run < 5; ++run) {
      g_faultPhase = c.phase;
      g_trackStart = -1;
      EXPECT_EQ(VcdRunBuild(&window, 0xC000, FaultAtProgress, &params, NULL), kVcdResultException);
      EXPECT_EQ(g_faultPhase, 0) << "no fault came";
    }
    EXPECT_EQ(test_support::ThreadCountSettledAt(before), before);
  }
  std::filesystem::remove_all(folder);
}

#ifdef _WIN32

volatile int* g_nowhere = nullptr;
volatile int g_zero = 0;

int WriteThroughNull(void*) {
  *g_nowhere = 1;
  return 0;
}

int DivideByZero(void*) { return 10 / g_zero; }

// Deep enough for any thread stack; the depth only keeps the compiler from
// calling it endless.
int Recurse(volatile char* previous, long depth) {
  volatile char block[4096];
  block[0] = previous ? previous[0] : 1;
  if (depth <= 0) return block[0];
  return Recurse(block, depth - 1) + block[100];
}
int OverflowTheStack(void*) { return Recurse(nullptr, 1L << 30); }

int NestedFault(void* inner) {
  // The inner guard catches its own fault; the outer run goes on.
  uint32_t code = 0;
  int result = VcdRunGuarded(WriteThroughNull, NULL, &code);
  *static_cast<uint32_t*>(inner) = code;
  return result == kVcdResultException ? 5 : 0;
}

TEST(GuardWindows, AccessViolationGivesResult2) {
  uint32_t code = 0;
  EXPECT_EQ(VcdRunGuarded(WriteThroughNull, NULL, &code), kVcdResultException);
  EXPECT_EQ(code, static_cast<uint32_t>(EXCEPTION_ACCESS_VIOLATION));
  // Again: the guard is not used up by one fault.
  EXPECT_EQ(VcdRunGuarded(WriteThroughNull, NULL, &code), kVcdResultException);
  EXPECT_EQ(VcdRunGuarded(ReturnSeven, NULL, &code), 7);
  EXPECT_EQ(code, 0u);
}

TEST(GuardWindows, DivisionByZeroGivesResult2) {
  uint32_t code = 0;
  EXPECT_EQ(VcdRunGuarded(DivideByZero, NULL, &code), kVcdResultException);
  EXPECT_EQ(code, static_cast<uint32_t>(EXCEPTION_INT_DIVIDE_BY_ZERO));
}

TEST(GuardWindows, StackOverflowGivesResult2) {
  // On a thread of its own so the test thread's stack is left intact.
  uint32_t code = 0;
  int result = -1;
  std::thread([&] { result = VcdRunGuarded(OverflowTheStack, NULL, &code); }).join();
  EXPECT_EQ(result, kVcdResultException);
  EXPECT_EQ(code, static_cast<uint32_t>(EXCEPTION_STACK_OVERFLOW));
}

TEST(GuardWindows, NestedGuardsCatchTheirOwnFaults) {
  uint32_t inner = 0, outer = 0;
  EXPECT_EQ(VcdRunGuarded(NestedFault, &inner, &outer), 5);
  EXPECT_EQ(inner, static_cast<uint32_t>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_EQ(outer, 0u);
}

// A page that is reserved, not committed: every access faults.
void* ReservedPage() {
  static void* page = VirtualAlloc(NULL, 4096, MEM_RESERVE, PAGE_NOACCESS);
  return page;
}

// The system's own functions handle faults inside them: that is no fault
// of the guarded run.
int ProbeBadPointers(void*) {
  if (!IsBadReadPtr(ReservedPage(), 16)) return 1;
  if (!IsBadWritePtr(ReservedPage(), 16)) return 2;
  return 7;
}

TEST(GuardWindows, FaultsHandledInsideTheRunLetItGoOn) {
  ASSERT_NE(ReservedPage(), nullptr);
  uint32_t code = 99;
  EXPECT_EQ(VcdRunGuarded(ProbeBadPointers, NULL, &code), 7);
  EXPECT_EQ(code, 0u);
}

struct Raised {
  DWORD code;
  DWORD flags;
};

int Raise(void* what) {
  const Raised* raised = static_cast<const Raised*>(what);
  RaiseException(raised->code, raised->flags, 0, NULL);
  return 0;
}

// What nothing inside the run handles ends it, whatever its code.
TEST(GuardWindows, UnhandledExceptionsOfAnyCodeGiveResult2) {
  const Raised cases[] = {
      {EXCEPTION_ACCESS_VIOLATION, 0},
      {0xC0DE0001, EXCEPTION_NONCONTINUABLE},  // error severity, cannot go on where raised
      {0x80000001, 0},                         // warning severity (guard page)
      {0x40010006, 0},                         // informational (debug output)
      {0x20000001, 0},                         // success severity, customer bit
      {0xE06D7363, EXCEPTION_NONCONTINUABLE},  // another runtime's C++ throw
      {0xE0000001, 0},
  };
  for (const Raised& raised : cases) {
    SCOPED_TRACE(raised.code);
    uint32_t code = 0;
    EXPECT_EQ(VcdRunGuarded(Raise, const_cast<Raised*>(&raised), &code), kVcdResultException);
    EXPECT_EQ(code, raised.code);
  }
  EXPECT_EQ(VcdRunGuarded(ReturnSeven, NULL), 7);
}

// The runner's build, from a hook inside its run: a fault handled where it
// happens lets the build go on (to its own failure: there is no project);
// one that nothing handles ends it with 2.
int g_hookRaises = 0;
void ProbeOrFault(CVcdFrontEnd&) {
  if (g_hookRaises)
    *g_nowhere = 1;
  else
    ProbeBadPointers(NULL);
}
intptr_t Discard(void*, unsigned int, uintptr_t, intptr_t) { return 0; }

TEST(GuardWindows, TheBuildGoesOnAfterAHandledFaultAndEndsWith2AfterAnother) {
  VcdBuildParams params;
  memset(&params, 0, sizeof params);
  strcpy(params.xmlPath, "no-such-project.xml");
  strcpy(params.cuePath, "guard-test.cue");
  int window = 0;
  CVcdFrontEnd::SetBuildHookForTests(ProbeOrFault);
  g_hookRaises = 0;
  EXPECT_EQ(VcdRunBuild(&window, 0xC000, Discard, &params, NULL), kVcdResultFailed);
  g_hookRaises = 1;
  EXPECT_EQ(VcdRunBuild(&window, 0xC000, Discard, &params, NULL), kVcdResultException);
  CVcdFrontEnd::SetBuildHookForTests(NULL);
}

TEST(GuardWindows, CxxExceptionsStillWorkAfterAFault) {
  EXPECT_EQ(VcdRunGuarded(WriteThroughNull, NULL), kVcdResultException);
  bool caught = false;
  try {
    throw std::runtime_error("after");
  } catch (const std::exception&) {
    caught = true;
  }
  EXPECT_TRUE(caught);
  EXPECT_EQ(VcdRunGuarded(ThrowRuntimeError, NULL), kVcdResultException);
}

#endif

}  // namespace
