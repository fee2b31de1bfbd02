// The exception guard around a build: C++ exceptions everywhere, and on
// Windows processor faults too, end the guarded work with result 2 and leave
// the thread usable.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "discimage/vcd_build_params.h"
#include "discimage/vcd_guard.h"

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
