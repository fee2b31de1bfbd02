// In-process interception under Wine: code hooks on functions of a library
// of our own (a short prologue, a short conditional jump first, a return
// first, a branch into the start, a target and replacement more than 2 GB
// apart) and import-table redirection of an import of this program and of
// a library loaded later, with GetProcAddress answering the replacement.
// Everything is put back; what GetProcAddress handed out keeps working,
// and the list of redirections can be read while another thread changes it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "skin/core/api_hook.h"
#include "skin/core/x86_instruction.h"

extern "C" __declspec(dllimport) int HookTargetImported(int x);

namespace {
void* g_target = nullptr;  // what the trampolines' getter answers
}

extern "C" void* TestTrampolineTarget() { return g_target; }
SKIN_CODE_TRAMPOLINE(TestTrampoline, TestTrampolineTarget);

namespace {

typedef int (*AddFn)(int, int);
typedef int (*FlagTargetFn)(void);
typedef int (*CallWithFlagFn)(void* fn, int flag);

AddFn Original() { return SkinTrampoline<AddFn>(&TestTrampoline); }
void* Trampoline() { return SkinTrampolineAddress(&TestTrampoline); }
unsigned char* TrampolineBytes() { return SkinTrampolineBytes(&TestTrampoline); }

int ReplacementAdd(int a, int b) { return Original()(a, b) * 100; }
int ReplacementFlag() { return 99; }
int ReplacementImported(int x) { return 1000 + x; }
int ReplacementOther(int x) { return -x; }

// The compiler may keep an import's address across calls within one
// function; these go through the import table afresh every time.
__attribute__((noinline)) int CallImported(int x) { return HookTargetImported(x); }
__attribute__((noinline)) void* ProcOf(HMODULE module, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}
__attribute__((noinline)) HMODULE Load(const char* name) { return LoadLibraryA(name); }
__attribute__((noinline)) HMODULE LoadAsData(const char* name)
{
    return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

#if defined(__x86_64__)
const X86Mode kMode = X86Mode::k64;
#else
const X86Mode kMode = X86Mode::k32;
#endif

class CodeHook : public testing::Test {
protected:
    void SetUp() override
    {
        library = GetModuleHandleA("quorbel_hook_target.dll");
        ASSERT_NE(library, nullptr);
        callWithFlag = reinterpret_cast<CallWithFlagFn>(Proc("CallWithFlag"));
    }
    void* Proc(const char* name) { return reinterpret_cast<void*>(GetProcAddress(library, name)); }
    std::vector<uint8_t> Bytes(const void* p, size_t n)
    {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        return std::vector<uint8_t>(b, b + n);
    }
    HMODULE library = nullptr;
    CallWithFlagFn callWithFlag = nullptr;
};

#if defined(__x86_64__)

TEST_F(CodeHook, AShortPrologueMovesIntoTheTrampolineAndComesBack)
{
    g_target = Proc("HookTargetAdd");
    auto target = reinterpret_cast<AddFn>(g_target);
    const std::vector<uint8_t> before = Bytes(g_target, 16);
    const std::vector<uint8_t> trampolineBefore = Bytes(TrampolineBytes(), SKIN_TRAMPOLINE_SIZE);
    // Before the hook the trampoline simply calls the target.
    EXPECT_EQ(Original()(2, 3), 5);

    ASSERT_TRUE(InstallCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementAdd)));
    const uint8_t* t = static_cast<const uint8_t*>(g_target);
    // 2 + 1 + 3 bytes covered: a 5-byte jump and one int3.
    EXPECT_EQ(t[0], 0xE9);
    EXPECT_EQ(t[5], 0xCC);
    EXPECT_EQ(t[6], before[6]);
    const InstructionCopier copier(kMode);
    uint64_t dest = 0;
    ASSERT_TRUE(copier.ReadJump(t, 5, uint64_t(uintptr_t(t)), &dest));
    EXPECT_EQ(dest, uint64_t(uintptr_t(&ReplacementAdd)));
    // The trampoline holds the three instructions and a jump to target + 6.
    EXPECT_EQ(0, std::memcmp(TrampolineBytes(), before.data(), 6));
    ASSERT_TRUE(copier.ReadJump(TrampolineBytes() + 6, 5, uint64_t(uintptr_t(TrampolineBytes() + 6)), &dest));
    EXPECT_EQ(dest, uint64_t(uintptr_t(t + 6)));
    EXPECT_EQ(TrampolineBytes()[SKIN_TRAMPOLINE_SIZE - 1], 6);

    EXPECT_EQ(target(2, 3), 500);      // through the replacement
    EXPECT_EQ(Original()(2, 3), 5);    // the original through the trampoline

    ASSERT_TRUE(RemoveCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementAdd)));
    EXPECT_EQ(Bytes(g_target, 16), before);
    EXPECT_EQ(Bytes(TrampolineBytes(), SKIN_TRAMPOLINE_SIZE), trampolineBefore);
    EXPECT_EQ(target(2, 3), 5);
}

TEST_F(CodeHook, AShortConditionalJumpFirstStillReachesItsTarget)
{
    g_target = Proc("HookTargetJcc");
    const std::vector<uint8_t> before = Bytes(g_target, 16);
    EXPECT_EQ(callWithFlag(g_target, 0), 2);
    EXPECT_EQ(callWithFlag(g_target, 1), 1);
    ASSERT_TRUE(InstallCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementFlag)));
    EXPECT_EQ(callWithFlag(g_target, 0), 99);
    // The moved je still lands on the original's second branch.
    EXPECT_EQ(callWithFlag(Trampoline(), 0), 2);
    EXPECT_EQ(callWithFlag(Trampoline(), 1), 1);
    ASSERT_TRUE(RemoveCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementFlag)));
    EXPECT_EQ(Bytes(g_target, 16), before);
    EXPECT_EQ(callWithFlag(g_target, 0), 2);
}

// Functions whose start cannot be moved: a return first, and a branch into
// the bytes the entry jump would cover. The hook is refused and neither the
// target nor the trampoline changes (callers fall back to import entries).
class UnhookableTarget : public CodeHook, public testing::WithParamInterface<const char*> {};

TEST_P(UnhookableTarget, IsRefusedWithoutChange)
{
    g_target = Proc(GetParam());
    ASSERT_NE(g_target, nullptr);
    const std::vector<uint8_t> before = Bytes(g_target, 8);
    const std::vector<uint8_t> trampolineBefore = Bytes(TrampolineBytes(), SKIN_TRAMPOLINE_SIZE);
    EXPECT_FALSE(InstallCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementFlag)));
    EXPECT_EQ(Bytes(g_target, 8), before);
    EXPECT_EQ(Bytes(TrampolineBytes(), SKIN_TRAMPOLINE_SIZE), trampolineBefore);
}

INSTANTIATE_TEST_SUITE_P(Starts, UnhookableTarget, testing::Values("HookTargetRet", "HookTargetBranchIntoEntry"));

TEST_F(CodeHook, RemovalChecksWhatItUndoes)
{
    g_target = Proc("HookTargetAdd");
    SetLastError(0);
    EXPECT_FALSE(RemoveCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementAdd)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    // Not a trampoline at all.
    EXPECT_FALSE(InstallCodeHook(reinterpret_cast<void*>(&ReplacementFlag), reinterpret_cast<void*>(&ReplacementAdd)));

    ASSERT_TRUE(InstallCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementAdd)));
    EXPECT_FALSE(InstallCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementAdd)));  // once only
    EXPECT_FALSE(RemoveCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementFlag)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ACCESS));
    EXPECT_EQ(reinterpret_cast<AddFn>(g_target)(1, 1), 200);  // still hooked
    ASSERT_TRUE(RemoveCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementAdd)));
    EXPECT_EQ(reinterpret_cast<AddFn>(g_target)(1, 1), 2);
}

// Executable memory more than 2 GB away from this program and its libraries.
uint8_t* FarAway()
{
    const uintptr_t base = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
    for (uintptr_t step = 16; step < 64; ++step) {
        void* want = reinterpret_cast<void*>(base + (uintptr_t(step) << 30));
        if (void* p = VirtualAlloc(want, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE))
            return static_cast<uint8_t*>(p);
    }
    return nullptr;
}

TEST_F(CodeHook, FarApartTargetsUseAbsoluteJumps)
{
    uint8_t* distant = FarAway();
    ASSERT_NE(distant, nullptr);
    std::memcpy(distant, Proc("HookTargetLong"), 32);
    FlushInstructionCache(GetCurrentProcess(), distant, 32);
    g_target = distant;
    auto target = reinterpret_cast<AddFn>(distant);
    ASSERT_EQ(target(3, 4), 7);
    const std::vector<uint8_t> before = Bytes(distant, 32);

    ASSERT_TRUE(InstallCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementAdd)));
    // Entry: jmp [rip+0] and the replacement's address.
    const uint8_t absJump[6] = {0xFF, 0x25, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(distant, absJump, 6));
    void* dest;
    std::memcpy(&dest, distant + 6, 8);
    EXPECT_EQ(dest, reinterpret_cast<void*>(&ReplacementAdd));
    EXPECT_EQ(distant[14], 0xCC);  // 16 bytes covered
    EXPECT_EQ(target(3, 4), 700);
    EXPECT_EQ(Original()(3, 4), 7);  // and back across the 2 GB with an absolute jump
    ASSERT_TRUE(RemoveCodeHook(Trampoline(), reinterpret_cast<void*>(&ReplacementAdd)));
    EXPECT_EQ(Bytes(distant, 32), before);
    EXPECT_EQ(target(3, 4), 7);
    VirtualFree(distant, 0, MEM_RELEASE);
}

#endif  // __x86_64__

TEST(ImportRedirection, AnImportOfThisProgramIsRewrittenAndRestored)
{
    ASSERT_EQ(CallImported(5), 10);
    HMODULE library = GetModuleHandleA("quorbel_hook_target.dll");
    void* real = ProcOf(library, "HookTargetImported");
    {
        ApiHookRecord record("quorbel_hook_target.dll", "HookTargetImported",
                             reinterpret_cast<void*>(&ReplacementImported));
        EXPECT_EQ(record.GetOriginal(), real);
        EXPECT_EQ(CallImported(5), 1005);
        // Without the loaders hooked, GetProcAddress still answers the original.
        EXPECT_EQ(ProcOf(library, "HookTargetImported"), real);
    }
    EXPECT_EQ(CallImported(5), 10);

    // A module that does not import it, or a name that is not imported.
    EXPECT_FALSE(ApiHookRecord::PatchModule(library, "quorbel_hook_target.dll", real,
                                            reinterpret_cast<void*>(&ReplacementImported)));
    EXPECT_FALSE(ApiHookRecord::PatchModule(GetModuleHandleA(nullptr), "no_such.dll", real,
                                            reinterpret_cast<void*>(&ReplacementImported)));
}

TEST(ImportRedirection, LoadersPatchModulesLoadedLaterAndGetProcAddressAnswersTheReplacement)
{
    HMODULE library = GetModuleHandleA("quorbel_hook_target.dll");
    void* real = ProcOf(library, "HookTargetImported");
    ASSERT_TRUE(HookModuleLoaders());
    ASSERT_TRUE(HookModuleLoaders());  // once only
    EXPECT_TRUE(ModuleLoadersHooked());
    auto* record = new ApiHookRecord("quorbel_hook_target.dll", "HookTargetImported",
                                     reinterpret_cast<void*>(&ReplacementImported));
    EXPECT_EQ(ProcOf(library, "HookTargetImported"),
              reinterpret_cast<void*>(&ReplacementImported));

    // Loaded as data: left alone (and nothing breaks).
    HMODULE data = LoadAsData("quorbel_hook_caller.dll");
    EXPECT_NE(data, nullptr);
    if (data)
        FreeLibrary(data);

    // Loaded as code: its import is rewritten on arrival.
    HMODULE caller = Load("quorbel_hook_caller.dll");
    ASSERT_NE(caller, nullptr);
    typedef int (*CallFn)(int);
    auto call = reinterpret_cast<CallFn>(ProcOf(caller, "CallImportedTarget"));
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call(5), 1006);

    delete record;  // back to the original in every module
    EXPECT_EQ(call(5), 11);
    EXPECT_EQ(CallImported(5), 10);
    UnhookModuleLoaders();
    EXPECT_FALSE(ModuleLoadersHooked());
    EXPECT_EQ(ProcOf(library, "HookTargetImported"), real);
    FreeLibrary(caller);
}

// GetProcAddress hands out the loaders' own replacements while they are
// hooked; whoever kept one may call it after the end: it goes to the system.
TEST(ImportRedirection, LoaderEntryPointsHandedOutStillWorkAfterUnhooking)
{
    typedef FARPROC(WINAPI * GetProcAddressFn)(HMODULE, LPCSTR);
    typedef HMODULE(WINAPI * LoadLibraryAFn)(LPCSTR);
    typedef HMODULE(WINAPI * LoadLibraryWFn)(LPCWSTR);
    typedef HMODULE(WINAPI * LoadLibraryExAFn)(LPCSTR, HANDLE, DWORD);
    typedef HMODULE(WINAPI * LoadLibraryExWFn)(LPCWSTR, HANDLE, DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    HMODULE library = GetModuleHandleA("quorbel_hook_target.dll");
    void* realGetProcAddress = ProcOf(kernel, "GetProcAddress");
    void* real = ProcOf(library, "HookTargetImported");

    ASSERT_TRUE(HookModuleLoaders());
    auto getProcAddress = reinterpret_cast<GetProcAddressFn>(ProcOf(kernel, "GetProcAddress"));
    auto loadA = reinterpret_cast<LoadLibraryAFn>(ProcOf(kernel, "LoadLibraryA"));
    auto loadW = reinterpret_cast<LoadLibraryWFn>(ProcOf(kernel, "LoadLibraryW"));
    auto loadExA = reinterpret_cast<LoadLibraryExAFn>(ProcOf(kernel, "LoadLibraryExA"));
    auto loadExW = reinterpret_cast<LoadLibraryExWFn>(ProcOf(kernel, "LoadLibraryExW"));
    EXPECT_NE(reinterpret_cast<void*>(getProcAddress), realGetProcAddress);  // a replacement
    UnhookModuleLoaders();

    EXPECT_EQ(reinterpret_cast<void*>(getProcAddress(library, "HookTargetImported")), real);
    const HMODULE loaded[] = {loadA("quorbel_hook_caller.dll"), loadW(L"quorbel_hook_caller.dll"),
                              loadExA("quorbel_hook_caller.dll", nullptr, 0),
                              loadExW(L"quorbel_hook_caller.dll", nullptr, 0)};
    for (HMODULE module : loaded) {
        EXPECT_NE(module, nullptr);
        if (module)
            FreeLibrary(module);
    }
}

// The same when the code that hooked the loaders lives in a library the
// program frees after the end, as it may free the skin library: the
// library stays loaded once a replacement of its own was handed out.
TEST(ImportRedirection, ALibraryThatHandedOutAReplacementStaysLoaded)
{
    typedef FARPROC(WINAPI * GetProcAddressFn)(HMODULE, LPCSTR);
    typedef BOOL (*StartFn)();
    typedef void (*EndFn)();
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    HMODULE library = GetModuleHandleA("quorbel_hook_target.dll");
    void* real = ProcOf(library, "HookTargetImported");
    HMODULE hooks = Load("quorbel_hook_loaders.dll");
    ASSERT_NE(hooks, nullptr);
    auto start = reinterpret_cast<StartFn>(ProcOf(hooks, "HookLoadersStart"));
    auto end = reinterpret_cast<EndFn>(ProcOf(hooks, "HookLoadersEnd"));
    ASSERT_TRUE(start && end);
    ASSERT_TRUE(start());
    auto getProcAddress = reinterpret_cast<GetProcAddressFn>(ProcOf(kernel, "GetProcAddress"));
    MEMORY_BASIC_INFORMATION info = {};
    ASSERT_TRUE(VirtualQuery(reinterpret_cast<void*>(getProcAddress), &info, sizeof info));
    EXPECT_EQ(info.AllocationBase, reinterpret_cast<void*>(hooks));  // the library's replacement
    end();
    FreeLibrary(hooks);

    EXPECT_EQ(GetModuleHandleA("quorbel_hook_loaders.dll"), hooks);
    EXPECT_EQ(reinterpret_cast<void*>(getProcAddress(library, "HookTargetImported")), real);
}

// One thread reads the list of redirections (GetProcAddress and the
// loaders read it on any thread) while another adds and removes records in
// front of one that stays: every read finds the one that stays.
TEST(ImportRedirection, TheListIsSafeToReadWhileRecordsAreRemoved)
{
    HMODULE library = GetModuleHandleA("quorbel_hook_target.dll");
    void* real = ProcOf(library, "HookTargetImported");
    ApiHookRecord kept("quorbel_hook_target.dll", "HookTargetImported",
                       reinterpret_cast<void*>(&ReplacementImported));
    ASSERT_EQ(ApiHookRecord::ReplacementOf(real), reinterpret_cast<void*>(&ReplacementImported));

    // The reader reads until told to stop; records come and go meanwhile.
    struct Reader {
        void* real;
        HANDLE started;
        volatile LONG stop = 0;
        LONG reads = 0;
        LONG misses = 0;
        static DWORD WINAPI Run(void* p)
        {
            auto* self = static_cast<Reader*>(p);
            SetEvent(self->started);
            while (!self->stop) {
                if (ApiHookRecord::ReplacementOf(self->real) != reinterpret_cast<void*>(&ReplacementImported))
                    ++self->misses;
                ++self->reads;
            }
            return 0;
        }
    } reader;
    reader.real = real;
    reader.started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, &Reader::Run, &reader, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(reader.started, INFINITE);
    // Records of a name the library does not export: linked and unlinked,
    // nothing patched. Many at once, so that the reader spends its time
    // among them.
    std::vector<ApiHookRecord*> churned;
    for (int round = 0; round < 50; ++round) {
        while (churned.size() < 500)
            churned.push_back(new ApiHookRecord("quorbel_hook_target.dll", "NoSuchFunction",
                                                reinterpret_cast<void*>(&ReplacementOther)));
        for (ApiHookRecord* record : churned)
            delete record;
        churned.clear();
    }
    InterlockedExchange(&reader.stop, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(reader.started);
    EXPECT_GT(reader.reads, 0);
    EXPECT_EQ(reader.misses, 0);
}

}  // namespace
