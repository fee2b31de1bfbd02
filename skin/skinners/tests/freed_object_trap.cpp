#include "skin/skinners/tests/freed_object_trap.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> g_trappedSize{0};
std::atomic<int> g_touches{0};

// The blocks handed out trapped. Only a touch of one of these once freed
// counts: the system's own code may fault on memory of its own that looks
// the same from outside (a reserved region of its own), and that is no
// fault of a skinner. A fixed table: operator new may not allocate.
struct TrappedBlock {
    std::atomic<ULONG_PTR> base{0};
    std::atomic<ULONG_PTR> end{0};
    std::atomic<bool> freed{false};
};
constexpr int kMaxTrapped = 8192;
TrappedBlock g_blocks[kMaxTrapped];
std::atomic<int> g_blockCount{0};

TrappedBlock* FindBlock(ULONG_PTR address, bool startOnly)
{
    const int count = std::min(g_blockCount.load(), kMaxTrapped);
    for (int i = 0; i < count; ++i) {
        const ULONG_PTR base = g_blocks[i].base.load();
        if (address == base || (!startOnly && address > base && address < g_blocks[i].end.load()))
            return &g_blocks[i];
    }
    return nullptr;
}

LONG CALLBACK CountTouches(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2)
        if (TrappedBlock* block = FindBlock(record->ExceptionInformation[1], false); block && block->freed)
            ++g_touches;
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void skintest::TrapFreedBlocksOfSize(size_t size)
{
    static PVOID handler = AddVectoredExceptionHandler(1, &CountTouches);
    (void)handler;
    g_trappedSize = size;
}

int skintest::TouchesOfFreedBlocks() { return g_touches; }

void* operator new(size_t size)
{
    if (size && size == g_trappedSize.load() && g_blockCount.load() < kMaxTrapped)
        if (void* p = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)) {
            const int i = g_blockCount++;
            if (i < kMaxTrapped) {
                g_blocks[i].end = reinterpret_cast<ULONG_PTR>(p) + size;
                g_blocks[i].base = reinterpret_cast<ULONG_PTR>(p);
                return p;
            }
            VirtualFree(p, 0, MEM_RELEASE);
        }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new[](size_t size) { return operator new(size); }

void operator delete(void* p) noexcept
{
    if (!p)
        return;
    // Decommitted but still reserved: the address is never handed out again.
    if (TrappedBlock* block = FindBlock(reinterpret_cast<ULONG_PTR>(p), true)) {
        VirtualFree(p, 0, MEM_DECOMMIT);
        block->freed = true;
    } else {
        std::free(p);
    }
}

void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }
