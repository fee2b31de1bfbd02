#include "skin/core/api_hook.h"

#include <imagehlp.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>

#include "skin/core/x86_instruction.h"

namespace {

#if defined(__x86_64__) || defined(_M_X64)
const X86Mode kNativeMode = X86Mode::k64;
const size_t kMaxCovered = 32;
#else
const X86Mode kNativeMode = X86Mode::k32;
const size_t kMaxCovered = 26;
#endif
const size_t kTrampolineSize = SKIN_TRAMPOLINE_SIZE;

uint64_t Address(const void* p) { return uint64_t(reinterpret_cast<uintptr_t>(p)); }
uint8_t* Pointer(uint64_t a) { return reinterpret_cast<uint8_t*>(uintptr_t(a)); }

// Bytes readable from p on (its committed region), capped at max.
size_t ReadableFrom(const void* p, size_t max)
{
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(p, &info, sizeof info) || info.State != MEM_COMMIT ||
        (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)))
        return 0;
    const size_t left = size_t(Address(info.BaseAddress) + info.RegionSize - Address(p));
    return left < max ? left : max;
}

// Makes a range writable for the time of a change: opened, the range is
// PAGE_EXECUTE_READWRITE and the instruction cache flushed; closed, the
// cache is flushed again and the saved protection restored.
class ProtectionWindow {
public:
    ProtectionWindow(void* address, size_t size) : address_(address), size_(size) {}
    ~ProtectionWindow() { Close(); }

    bool Open()
    {
        if (!FlushInstructionCache(GetCurrentProcess(), address_, size_))
            return false;
        if (!VirtualProtect(address_, size_, PAGE_EXECUTE_READWRITE, &saved_))
            return false;
        open_ = true;
        return true;
    }
    // The trampoline stays writable: what is restored is then RWX too.
    void KeepWritable() { saved_ = PAGE_EXECUTE_READWRITE; }
    void Close()
    {
        if (!open_)
            return;
        FlushInstructionCache(GetCurrentProcess(), address_, size_);
        DWORD ignored;
        VirtualProtect(address_, size_, saved_, &ignored);
        open_ = false;
    }

private:
    void* address_;
    size_t size_;
    DWORD saved_ = 0;
    bool open_ = false;
};

// What an installed code hook changed, so that removal puts it back byte
// for byte (a widened branch makes the moved code longer than the bytes it
// came from, so the trampoline alone cannot say).
struct CodeHookRecord {
    uint8_t* target;
    size_t covered;
    uint8_t originalTarget[32];
    uint8_t originalTrampoline[SKIN_TRAMPOLINE_SIZE];
};

std::map<uint8_t*, CodeHookRecord>& CodeHooks()
{
    // Lives until the process ends; never destroyed at exit.
    static auto* hooks = new std::map<uint8_t*, CodeHookRecord>();
    return *hooks;
}

// Follows jump thunks: FF 25 (an indirect jump: to the address in its
// slot) and, when asked, E9.
uint8_t* ResolveThunk(void* address, bool followRelative)
{
    const InstructionCopier copier(kNativeMode);
    uint8_t* p = static_cast<uint8_t*>(address);
    for (int hops = 0; p && hops < 8; ++hops) {
        const size_t avail = ReadableFrom(p, kX86MaxInstruction);
        if (avail < 5)
            break;
        X86Instruction insn;
        if (!copier.Measure(p, avail, Address(p), &insn))
            break;
        if (insn.kind == X86Instruction::kIndirectJump && insn.indirectSlot &&
            ReadableFrom(Pointer(insn.indirectSlot), sizeof(void*)) == sizeof(void*)) {
            void* next;
            std::memcpy(&next, Pointer(insn.indirectSlot), sizeof next);
            p = static_cast<uint8_t*>(next);
        } else if (followRelative && insn.kind == X86Instruction::kJump && insn.relSize == 4) {
            p = Pointer(insn.target);
        } else {
            break;
        }
    }
    return p;
}

}  // namespace

// ---------------------------------------------------------------------------
// Code hooks

BOOL InstallCodeHook(void* trampolineAddress, void* replacementAddress)
{
    uint8_t* trampoline = ResolveThunk(trampolineAddress, true);
    uint8_t* replacement = ResolveThunk(replacementAddress, false);
    if (!trampoline || !replacement || ReadableFrom(trampoline, kTrampolineSize) < kTrampolineSize ||
        trampoline[0] != 0x90 || trampoline[1] != 0x90 || trampoline[2] != 0xE8 || trampoline[7] != 0xFF ||
        trampoline[8] != 0xE0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (CodeHooks().count(trampoline)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    int32_t rel;
    std::memcpy(&rel, trampoline + 3, 4);
    auto getter = reinterpret_cast<void* (*)()>(reinterpret_cast<void*>(trampoline + 7 + rel));
    uint8_t* target = ResolveThunk(getter(), false);
    const size_t avail = target ? ReadableFrom(target, 64) : 0;

    const InstructionCopier copier(kNativeMode);
    CodeHookPlan plan;
    if (!avail || !PlanCodeHook(copier, target, avail, Address(target), Address(replacement),
                                Address(trampoline), kTrampolineSize - 1, kMaxCovered, &plan)) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }

    ProtectionWindow trampolineWindow(trampoline, kTrampolineSize);
    ProtectionWindow targetWindow(target, plan.covered);
    if (!trampolineWindow.Open() || !targetWindow.Open()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    trampolineWindow.KeepWritable();
    CodeHookRecord record;
    record.target = target;
    record.covered = plan.covered;
    std::memcpy(record.originalTarget, target, plan.covered);
    std::memcpy(record.originalTrampoline, trampoline, kTrampolineSize);

    // The trampoline first (moved code and the jump back), the target's
    // entry jump last, its first bytes at the very end.
    std::memset(trampoline + plan.trampolineLength, 0xCC, kTrampolineSize - plan.trampolineLength);
    std::memcpy(trampoline, plan.trampoline, plan.trampolineLength);
    trampoline[kTrampolineSize - 1] = uint8_t(plan.movedLength);
    const size_t jumpLength = copier.JumpLength(Address(target), Address(replacement));
    std::memcpy(target + jumpLength, plan.entry + jumpLength, plan.covered - jumpLength);
    std::memcpy(target + 1, plan.entry + 1, jumpLength - 1);
    target[0] = plan.entry[0];

    targetWindow.Close();
    trampolineWindow.Close();
    CodeHooks()[trampoline] = record;
    return TRUE;
}

BOOL RemoveCodeHook(void* trampolineAddress, void* replacementAddress)
{
    uint8_t* trampoline = ResolveThunk(trampolineAddress, true);
    uint8_t* replacement = ResolveThunk(replacementAddress, false);
    const InstructionCopier copier(kNativeMode);
    auto it = trampoline ? CodeHooks().find(trampoline) : CodeHooks().end();
    const size_t n = trampoline ? trampoline[kTrampolineSize - 1] : 0;
    uint64_t back = 0;
    if (it == CodeHooks().end() || n < 1 || n > kTrampolineSize - 2 ||
        !copier.ReadJump(trampoline + n, kTrampolineSize - 1 - n, Address(trampoline + n), &back) ||
        back != Address(it->second.target) + it->second.covered) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    CodeHookRecord& record = it->second;
    uint64_t entry = 0;
    if (!copier.ReadJump(record.target, record.covered, Address(record.target), &entry)) {
        SetLastError(ERROR_INVALID_BLOCK);
        return FALSE;
    }
    if (entry != Address(replacement)) {
        SetLastError(ERROR_INVALID_ACCESS);
        return FALSE;
    }
    {
        ProtectionWindow targetWindow(record.target, record.covered);
        if (!targetWindow.Open()) {
            SetLastError(ERROR_INVALID_DATA);
            return FALSE;
        }
        std::memcpy(record.target, record.originalTarget, record.covered);
    }
    if (std::memcmp(record.target, record.originalTarget, record.covered) != 0) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    {
        ProtectionWindow trampolineWindow(trampoline, kTrampolineSize);
        if (trampolineWindow.Open()) {
            trampolineWindow.KeepWritable();
            std::memcpy(trampoline, record.originalTrampoline, kTrampolineSize);
        }
    }
    CodeHooks().erase(it);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Import-table redirection

namespace {

typedef HANDLE(WINAPI* CreateSnapshotFn)(DWORD, DWORD);
typedef BOOL(WINAPI* ModuleWalkFn)(HANDLE, LPMODULEENTRY32);
typedef HMODULE(WINAPI* LoadLibraryAFn)(LPCSTR);
typedef HMODULE(WINAPI* LoadLibraryWFn)(LPCWSTR);
typedef HMODULE(WINAPI* LoadLibraryExAFn)(LPCSTR, HANDLE, DWORD);
typedef HMODULE(WINAPI* LoadLibraryExWFn)(LPCWSTR, HANDLE, DWORD);
typedef FARPROC(WINAPI* GetProcAddressFn)(HMODULE, LPCSTR);

// The list of records, newest first. Any thread reads it (GetProcAddress
// and the loaders run everywhere) while another adds or removes a record:
// both hold the lock.
ApiHookRecord* g_records = nullptr;
std::mutex g_recordsLock;
void* g_maxApplicationAddress = nullptr;

// The toolhelp entry points, loaded by name (older systems lack some).
struct Toolhelp {
    bool loaded = false;
    CreateSnapshotFn createSnapshot = nullptr;
    ModuleWalkFn moduleFirst = nullptr;
    ModuleWalkFn moduleNext = nullptr;
    FARPROC other[9] = {};  // the process, heap and thread walkers (unused)
} g_toolhelp;

// The system's loader functions, taken when the loaders are first hooked
// and kept for the life of the process: GetProcAddress hands out the
// replacements below while hooked, and whoever kept one may call it at any
// time after, when it goes straight to the system.
struct SystemLoaders {
    LoadLibraryAFn loadLibraryA = nullptr;
    LoadLibraryWFn loadLibraryW = nullptr;
    LoadLibraryExAFn loadLibraryExA = nullptr;
    LoadLibraryExWFn loadLibraryExW = nullptr;
    GetProcAddressFn getProcAddress = nullptr;
} g_system;

struct Loaders {
    HMODULE kernel32 = nullptr;
    ApiHookRecord* records[5] = {};
} g_loaders;
// Set (after g_system is filled) while the loaders are hooked.
std::atomic<bool> g_loadersHooked{false};

void* MaxApplicationAddress()
{
    if (!g_maxApplicationAddress) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        g_maxApplicationAddress = info.lpMaximumApplicationAddress;
    }
    return g_maxApplicationAddress;
}

// Windows 9x hands out addresses of shared "push imm32; ..." stubs above the
// application range; the push operand is the function.
void* ThroughPushStub(void* address)
{
    if (address > MaxApplicationAddress() && ReadableFrom(address, 5) == 5 &&
        static_cast<uint8_t*>(address)[0] == 0x68) {
        uint32_t operand;
        std::memcpy(&operand, static_cast<uint8_t*>(address) + 1, 4);
        return reinterpret_cast<void*>(uintptr_t(operand));
    }
    return address;
}

void LoadToolhelp()
{
    if (g_toolhelp.loaded)
        return;
    HMODULE kernel = GetModuleHandleA("Kernel32");
    auto get = [&](const char* name) { return kernel ? GetProcAddress(kernel, name) : nullptr; };
    g_toolhelp.createSnapshot =
        reinterpret_cast<CreateSnapshotFn>(reinterpret_cast<void*>(get("CreateToolhelp32Snapshot")));
    g_toolhelp.moduleFirst = reinterpret_cast<ModuleWalkFn>(reinterpret_cast<void*>(get("Module32First")));
    g_toolhelp.moduleNext = reinterpret_cast<ModuleWalkFn>(reinterpret_cast<void*>(get("Module32Next")));
    const char* others[9] = {"Toolhelp32ReadProcessMemory", "Process32First", "Process32Next",
                             "Heap32ListFirst", "Heap32ListNext", "Heap32First", "Heap32Next",
                             "Thread32First", "Thread32Next"};
    for (int i = 0; i < 9; ++i)
        g_toolhelp.other[i] = get(others[i]);
    g_toolhelp.loaded = true;
}

bool WritePointer(void** slot, void* value)
{
    ProtectionWindow window(slot, sizeof value);
    if (!window.Open())
        return false;
    SIZE_T written = 0;
    return WriteProcessMemory(GetCurrentProcess(), slot, &value, sizeof value, &written) &&
           written == sizeof value;
}

GetProcAddressFn OriginalGetProcAddress()
{
    return g_system.getProcAddress ? g_system.getProcAddress : &GetProcAddress;
}

bool LoadersHooked() { return g_loadersHooked.load(std::memory_order_acquire); }

HMODULE WINAPI HookedLoadLibraryA(LPCSTR name)
{
    HMODULE module = g_system.loadLibraryA(name);
    if (module && LoadersHooked())
        ApiHookRecord::PatchWithAllRecords(module);
    return module;
}

HMODULE WINAPI HookedLoadLibraryW(LPCWSTR name)
{
    HMODULE module = g_system.loadLibraryW(name);
    if (module && LoadersHooked())
        ApiHookRecord::PatchWithAllRecords(module);
    return module;
}

HMODULE WINAPI HookedLoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags)
{
    HMODULE module = g_system.loadLibraryExA(name, file, flags);
    if (module && !(flags & LOAD_LIBRARY_AS_DATAFILE) && LoadersHooked())
        ApiHookRecord::PatchWithAllRecords(module);
    return module;
}

HMODULE WINAPI HookedLoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags)
{
    HMODULE module = g_system.loadLibraryExW(name, file, flags);
    if (module && !(flags & LOAD_LIBRARY_AS_DATAFILE) && LoadersHooked())
        ApiHookRecord::PatchWithAllRecords(module);
    return module;
}

// A replacement handed out may be kept and called after the library ends,
// when the program may have freed the library's module too: the module
// that holds it stays loaded for the life of the process.
void PinModuleOf(const void* code)
{
    HMODULE holder = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       static_cast<LPCSTR>(code), &holder);
}

FARPROC WINAPI HookedGetProcAddress(HMODULE module, LPCSTR name)
{
    FARPROC address = g_system.getProcAddress(module, name);
    if (!address || !LoadersHooked())
        return address;
    if (void* replacement = ApiHookRecord::ReplacementOf(reinterpret_cast<void*>(address))) {
        PinModuleOf(replacement);
        return reinterpret_cast<FARPROC>(replacement);
    }
    return address;
}

}  // namespace

ApiHookRecord::ApiHookRecord(const char* moduleName, const char* functionName, void* replacement)
    : replacement_(replacement)
{
    lstrcpynA(moduleName_, moduleName ? moduleName : "", sizeof moduleName_);
    lstrcpynA(functionName_, functionName ? functionName : "", sizeof functionName_);
    if (HMODULE module = GetModuleHandleA(moduleName_))
        original_ = reinterpret_cast<void*>(OriginalGetProcAddress()(module, functionName_));
    if (original_)
        original_ = ThroughPushStub(original_);
    {
        std::lock_guard<std::mutex> guard(g_recordsLock);
        next_ = g_records;
        g_records = this;
        linked_ = true;
    }
    if (original_ && replacement_)
        PatchAllModules(moduleName_, original_, replacement_);
}

ApiHookRecord::~ApiHookRecord() { Remove(); }

void ApiHookRecord::Remove()
{
    if (!linked_)
        return;
    // Out of the list first, so that no module loaded from now on is
    // rewritten with it; then every module, those too, is put back.
    {
        std::lock_guard<std::mutex> guard(g_recordsLock);
        for (ApiHookRecord** link = &g_records; *link; link = &(*link)->next_)
            if (*link == this) {
                *link = next_;
                break;
            }
        next_ = nullptr;
        linked_ = false;
    }
    if (original_ && replacement_)
        PatchAllModules(moduleName_, replacement_, original_);
}

bool ApiHookRecord::PatchModule(HMODULE module, const char* moduleName, void* from, void* to)
{
    if (!module || !from)
        return false;
    ULONG size = 0;
    auto* descriptor = static_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        ImageDirectoryEntryToData(module, TRUE, IMAGE_DIRECTORY_ENTRY_IMPORT, &size));
    if (!descriptor)
        return false;
    uint8_t* base = reinterpret_cast<uint8_t*>(module);
    for (; descriptor->Name; ++descriptor)
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), moduleName) == 0)
            break;
    if (!descriptor->Name || !descriptor->FirstThunk)
        return false;
    for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
         thunk->u1.Function; ++thunk) {
        void** slot = reinterpret_cast<void**>(&thunk->u1.Function);
        if (*slot == from)
            return WritePointer(slot, to);
        // A Windows 9x push stub whose operand is the function.
        void* entry = *slot;
        if (entry > MaxApplicationAddress() && ThroughPushStub(entry) == from && ThroughPushStub(entry) != entry) {
            uint8_t* operand = static_cast<uint8_t*>(entry) + 1;
            ProtectionWindow window(operand, 4);
            if (!window.Open())
                return false;
            const uint32_t value = uint32_t(reinterpret_cast<uintptr_t>(to));
            SIZE_T written = 0;
            return WriteProcessMemory(GetCurrentProcess(), operand, &value, 4, &written) && written == 4;
        }
    }
    return false;
}

void ApiHookRecord::PatchAllModules(const char* moduleName, void* from, void* to)
{
    LoadToolhelp();
    if (!g_toolhelp.createSnapshot || !g_toolhelp.moduleFirst || !g_toolhelp.moduleNext)
        return;
    HANDLE snapshot = g_toolhelp.createSnapshot(TH32CS_SNAPMODULE, 0);
    if (snapshot == INVALID_HANDLE_VALUE || !snapshot)
        return;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = g_toolhelp.moduleFirst(snapshot, &entry); more;
         more = g_toolhelp.moduleNext(snapshot, &entry))
        PatchModule(entry.hModule, moduleName, from, to);
    CloseHandle(snapshot);
}

void ApiHookRecord::PatchWithAllRecords(HMODULE module)
{
    std::lock_guard<std::mutex> guard(g_recordsLock);
    for (ApiHookRecord* r = g_records; r; r = r->next_)
        if (r->original_ && r->replacement_)
            PatchModule(module, r->moduleName_, r->original_, r->replacement_);
}

void* ApiHookRecord::ReplacementOf(void* address)
{
    std::lock_guard<std::mutex> guard(g_recordsLock);
    for (ApiHookRecord* r = g_records; r; r = r->next_)
        if (r->original_ && r->original_ == address)
            return r->replacement_;
    return nullptr;
}

BOOL HookModuleLoaders()
{
    if (LoadersHooked())
        return TRUE;
    LoadToolhelp();
    g_loaders.kernel32 = LoadLibraryA("Kernel32");
    if (!g_loaders.kernel32)
        return FALSE;
    if (!g_system.getProcAddress) {
        auto get = [](const char* name) { return reinterpret_cast<void*>(GetProcAddress(g_loaders.kernel32, name)); };
        SystemLoaders system;
        system.loadLibraryA = reinterpret_cast<LoadLibraryAFn>(get("LoadLibraryA"));
        system.loadLibraryW = reinterpret_cast<LoadLibraryWFn>(get("LoadLibraryW"));
        system.loadLibraryExA = reinterpret_cast<LoadLibraryExAFn>(get("LoadLibraryExA"));
        system.loadLibraryExW = reinterpret_cast<LoadLibraryExWFn>(get("LoadLibraryExW"));
        system.getProcAddress = reinterpret_cast<GetProcAddressFn>(get("GetProcAddress"));
        if (!system.loadLibraryA || !system.loadLibraryW || !system.loadLibraryExA || !system.loadLibraryExW ||
            !system.getProcAddress) {
            FreeLibrary(g_loaders.kernel32);
            g_loaders = Loaders();
            return FALSE;
        }
        g_system = system;
    }
    g_loadersHooked.store(true, std::memory_order_release);
    g_loaders.records[0] = new ApiHookRecord("Kernel32.dll", "LoadLibraryA",
                                             reinterpret_cast<void*>(&HookedLoadLibraryA));
    g_loaders.records[1] = new ApiHookRecord("Kernel32.dll", "LoadLibraryW",
                                             reinterpret_cast<void*>(&HookedLoadLibraryW));
    g_loaders.records[2] = new ApiHookRecord("Kernel32.dll", "LoadLibraryExA",
                                             reinterpret_cast<void*>(&HookedLoadLibraryExA));
    g_loaders.records[3] = new ApiHookRecord("Kernel32.dll", "LoadLibraryExW",
                                             reinterpret_cast<void*>(&HookedLoadLibraryExW));
    g_loaders.records[4] = new ApiHookRecord("Kernel32.dll", "GetProcAddress",
                                             reinterpret_cast<void*>(&HookedGetProcAddress));
    return TRUE;
}

void UnhookModuleLoaders()
{
    if (!LoadersHooked())
        return;
    // Replacements still in use from now on go straight to the system.
    g_loadersHooked.store(false, std::memory_order_release);
    for (int i = 4; i >= 0; --i)
        delete g_loaders.records[i];
    HMODULE kernel32 = g_loaders.kernel32;
    g_loaders = Loaders();
    FreeLibrary(kernel32);
}

bool ModuleLoadersHooked() { return LoadersHooked(); }
