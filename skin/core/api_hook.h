// ApiHookEngine: puts a function of the library's own in place of a system
// function for the whole process.
//
// Import-table redirection (ApiHookRecord): every loaded module's import
// entry for a function is rewritten, and, with the module loaders hooked
// (HookModuleLoaders), modules loaded later are rewritten as they arrive
// and GetProcAddress answers with the replacement. The list of records may
// be read on any thread while another adds or removes one.
//
// Code hooks (InstallCodeHook): the first instructions of the target are
// moved into a trampoline, a code body of the caller's defined with
// SKIN_CODE_TRAMPOLINE, and replaced by a jump to the replacement; calling
// the trampoline runs the original. In 32-bit code the jump is E9 rel32; in
// 64-bit code it is E9 when the replacement lies within 2 GB of the target
// and an absolute 14-byte jump otherwise (the trampoline is 64 bytes there).
// RemoveCodeHook puts the target's bytes and the trampoline back as they
// were. Windows only.
#ifndef QUORBEL_SKIN_CORE_API_HOOK_H
#define QUORBEL_SKIN_CORE_API_HOOK_H

#include <windows.h>

#include <cstddef>

// --- trampolines ------------------------------------------------------------
#if defined(__x86_64__) || defined(_M_X64)
#define SKIN_TRAMPOLINE_SIZE 64
#define SKIN_TRAMPOLINE_JUMP "jmp *%rax"
#define SKIN_TRAMPOLINE_FILL "55"
#else
#define SKIN_TRAMPOLINE_SIZE 32
#define SKIN_TRAMPOLINE_JUMP "jmp *%eax"
#define SKIN_TRAMPOLINE_FILL "23"
#endif
#define SKIN_TRAMPOLINE_STR2(x) #x
#define SKIN_TRAMPOLINE_STR(x) SKIN_TRAMPOLINE_STR2(x)
#define SKIN_TRAMPOLINE_SYMBOL(x) SKIN_TRAMPOLINE_STR(__USER_LABEL_PREFIX__) #x

// Defines a trampoline `name` (a code body of SKIN_TRAMPOLINE_SIZE bytes:
// nop, nop, call getter, jmp to what it returned, int3 filling) and
// declares its getter. `getter` is an extern "C" function, defined by the
// caller, that returns the target's address and touches nothing else.
// Before the hook is installed the trampoline simply calls the target;
// call it through a pointer of the target's type:
//   SKIN_CODE_TRAMPOLINE(TrampolineGetSysColor, TargetGetSysColor);
//   auto original = SkinTrampoline<DWORD(WINAPI*)(int)>(TrampolineGetSysColor);
#define SKIN_CODE_TRAMPOLINE(name, getter)                                                      \
    extern "C" void* getter();                                                                  \
    extern "C" __attribute__((naked, used, aligned(16))) void name()                            \
    {                                                                                           \
        __asm__ volatile("nop\n\tnop\n\tcall " SKIN_TRAMPOLINE_SYMBOL(getter) "\n\t"           \
                         SKIN_TRAMPOLINE_JUMP "\n\t.fill " SKIN_TRAMPOLINE_FILL ", 1, 0xcc\n");  \
    }

typedef void (*SkinTrampolineBody)();

template <typename Fn>
Fn SkinTrampoline(SkinTrampolineBody body)
{
    return reinterpret_cast<Fn>(body);
}
// The trampoline as bytes, and as the address the hook functions take.
inline unsigned char* SkinTrampolineBytes(SkinTrampolineBody body) { return reinterpret_cast<unsigned char*>(body); }
inline void* SkinTrampolineAddress(SkinTrampolineBody body) { return reinterpret_cast<void*>(body); }

// Moves the target's first instructions into the trampoline and sends the
// target's callers to replacement. FALSE (last error set) when the
// trampoline has the wrong shape, the target's start cannot be moved, or
// the memory cannot be made writable; the target is then unchanged.
BOOL InstallCodeHook(void* trampoline, void* replacement);
// Undoes InstallCodeHook. FALSE with the last error ERROR_INVALID_HANDLE
// (no hook installed through this trampoline), ERROR_INVALID_BLOCK (the
// target no longer starts with a jump), ERROR_INVALID_ACCESS (the jump goes
// elsewhere than replacement) or ERROR_INVALID_DATA (the bytes could not be
// put back).
BOOL RemoveCodeHook(void* trampoline, void* replacement);

// --- import-table redirection --------------------------------------------------
class ApiHookRecord {
public:
    // Takes the function's address (through the original GetProcAddress)
    // and rewrites every loaded module's import of it to replacement.
    ApiHookRecord(const char* moduleName, const char* functionName, void* replacement);
    // Remove().
    ~ApiHookRecord();
    ApiHookRecord(const ApiHookRecord&) = delete;
    ApiHookRecord& operator=(const ApiHookRecord&) = delete;

    // Rewrites the imports back to the original and leaves the list.
    void Remove();

    const char* GetModuleName() const { return moduleName_; }
    const char* GetFunctionName() const { return functionName_; }
    void* GetOriginal() const { return original_; }
    void* GetReplacement() const { return replacement_; }

    // Rewrites module's first import entry of moduleName that holds `from`
    // to `to`; true when one was changed.
    static bool PatchModule(HMODULE module, const char* moduleName, void* from, void* to);
    // PatchModule for every module of the process.
    static void PatchAllModules(const char* moduleName, void* from, void* to);
    // Every record of the list rewrites module (a module just loaded).
    static void PatchWithAllRecords(HMODULE module);
    // The replacement of the record whose original is `address`, or null.
    static void* ReplacementOf(void* address);

private:
    ApiHookRecord* next_ = nullptr;  // the process-wide list, newest first (under its lock)
    char moduleName_[MAX_PATH];      // as given, e.g. "USER32.dll"
    char functionName_[128];         // e.g. "EnableScrollBar"
    void* original_ = nullptr;       // the function's address, null when not found
    void* replacement_ = nullptr;
    bool linked_ = false;            // still in the list
};

// Hooks LoadLibraryA/W, LoadLibraryExA/W and GetProcAddress of every module
// (once); UnhookModuleLoaders undoes it. Replacements of the loaders that
// GetProcAddress handed out meanwhile stay callable after: they then go
// straight to the system's functions (and the module holding a replacement
// handed out stays loaded).
BOOL HookModuleLoaders();
void UnhookModuleLoaders();
bool ModuleLoadersHooked();

#endif
