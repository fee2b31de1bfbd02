// A library of our own whose functions the interception tests hook: small
// functions with known first instructions (x86-64 assembly; plain C in the
// 32-bit build, which is only built), and one that the test program imports.
#include <windows.h>

extern "C" {

// Imported by the test program; the import-table redirection rewrites it.
__declspec(dllexport) int HookTargetImported(int x) { return x * 2; }

}  // extern "C"

#if defined(__x86_64__)
// HookTargetAdd: mov eax, ecx (2 bytes); nop (1); lea eax, [rax+rdx] (3).
// HookTargetJcc: starts with a short je; 2 when ZF is set, else 1.
// CallWithFlag (fn, flag): jumps to fn with ZF = (flag == 0).
// HookTargetRet: a lone ret.
// HookTargetBranchIntoEntry: a je to its own fifth byte (returns 0).
// HookTargetLong: position-independent a + b over 16 bytes of plain
// instructions before its ret (so it can run anywhere).
__asm__(R"(
    .text
    .globl HookTargetAdd
    .p2align 4
HookTargetAdd:
    movl %ecx, %eax
    nop
    leal (%rax,%rdx), %eax
    ret

    .globl HookTargetJcc
    .p2align 4
HookTargetJcc:
    je 1f
    movl $1, %eax
    ret
1:  movl $2, %eax
    ret

    .globl CallWithFlag
    .p2align 4
CallWithFlag:
    movq %rcx, %rax
    testl %edx, %edx
    jmp *%rax

    .globl HookTargetRet
    .p2align 4
HookTargetRet:
    ret

    .globl HookTargetBranchIntoEntry
    .p2align 4
HookTargetBranchIntoEntry:
    xorl %eax, %eax
    je 1f
1:  nop
    nop
    ret

    .globl HookTargetLong
    .p2align 4
HookTargetLong:
    movl %ecx, %eax
    addl %edx, %eax
    addl $1, %eax
    subl $1, %eax
    leal 1(%rax), %eax
    xorl %r8d, %r8d
    subl $1, %eax
    ret
)");
#else
extern "C" {
int HookTargetAdd(int a, int b) { return a + b; }
int HookTargetJcc(void) { return 1; }
int CallWithFlag(int (*fn)(void), int) { return fn(); }
void HookTargetRet(void) {}
int HookTargetBranchIntoEntry(void) { return 0; }
int HookTargetLong(int a, int b) { return a + b; }
}
#endif
