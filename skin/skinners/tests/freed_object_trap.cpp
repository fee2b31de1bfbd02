#include "skin/skinners/tests/freed_object_trap.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> g_trappedSize{0};
std::atomic<int> g_touches{0};

// A region of our own whose pages were given back.
bool IsFreedTrap(const void* address)
{
    MEMORY_BASIC_INFORMATION info;
    return VirtualQuery(address, &info, sizeof info) && info.State == MEM_RESERVE && info.AllocationBase &&
           (reinterpret_cast<ULONG_PTR>(info.AllocationBase) & 0xFFFF) == 0 && info.Type == MEM_PRIVATE;
}

LONG CALLBACK CountTouches(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2 &&
        IsFreedTrap(reinterpret_cast<const void*>(record->ExceptionInformation[1])))
        ++g_touches;
    return EXCEPTION_CONTINUE_SEARCH;
}

// Trapped blocks start a region of their own; heap blocks never do.
bool IsTrapped(void* p)
{
    MEMORY_BASIC_INFORMATION info;
    return (reinterpret_cast<ULONG_PTR>(p) & 0xFFFF) == 0 && VirtualQuery(p, &info, sizeof info) &&
           info.AllocationBase == p && info.Type == MEM_PRIVATE;
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
    if (size && size == g_trappedSize.load())
        if (void* p = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE))
            return p;
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
    if (IsTrapped(p))
        VirtualFree(p, 0, MEM_DECOMMIT);
    else
        std::free(p);
}

void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }
