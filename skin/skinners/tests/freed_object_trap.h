// A use-after-free trap for the skinner tests: the test program's global
// operator new gives heap blocks of one chosen size pages of their own and
// operator delete makes those pages inaccessible instead of freeing them,
// so a skinner that reads or writes itself after it was deleted faults
// instead of reading stale memory quietly. The fault is counted (a window
// procedure may swallow it, as 64-bit Windows and Wine do with exceptions
// in callbacks) and then takes its usual course. Link
// freed_object_trap.cpp into the test program.
#pragma once

#include <cstddef>

namespace skintest {

// From now on, blocks of exactly `size` bytes are trapped (sizeof the
// skinner class under test); 0 switches the trap off.
void TrapFreedBlocksOfSize(size_t size);
// Accesses to trapped blocks after they were freed, since the program began.
int TouchesOfFreedBlocks();

}  // namespace skintest
