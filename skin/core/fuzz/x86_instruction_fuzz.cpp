// libFuzzer target: the instruction copier of the code hooks on arbitrary
// bytes, in both modes - measuring, moving to near and far places, and
// planning a hook - must stay inside the bytes given and keep its promises
// (a moved instruction decodes again at its new place; no branch of a
// planned trampoline goes into the bytes the entry jump covers).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "skin/core/tests/moved_branches.h"
#include "skin/core/x86_instruction.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const X86Mode mode = (data[0] & 1) ? X86Mode::k64 : X86Mode::k32;
    const InstructionCopier copier(mode);
    const uint8_t* code = data + 1;
    const size_t avail = size - 1;
    const uint64_t at = mode == X86Mode::k64 ? 0x140001000ull : 0x401000u;
    const uint64_t places[] = {at + 0x100, at - 0x10000, mode == X86Mode::k64 ? 0x7FF700000000ull : 0x7FFF0000u};

    for (size_t offset = 0; offset < avail;) {
        X86Instruction insn;
        if (!copier.Measure(code + offset, avail - offset, at + offset, &insn)) {
            ++offset;
            continue;
        }
        if (insn.length == 0 || insn.length > kX86MaxInstruction || insn.length > avail - offset)
            abort();
        for (uint64_t place : places) {
            uint8_t moved[kX86MaxMovedInstruction];
            const size_t n = copier.Copy(code + offset, avail - offset, at + offset, moved, sizeof moved, place);
            if (n > sizeof moved)
                abort();
            X86Instruction again;
            if (n && !copier.Measure(moved, n, place, &again))
                abort();
            if (!n || !insn.relSize)
                continue;
            // Same branch at the new place: same target. A conditional branch
            // too far for rel32 becomes the opposite condition over an
            // absolute jump to the target.
            uint64_t target = again.target;
            if (again.kind == X86Instruction::kCondJump && n == again.length + 14 &&
                !copier.ReadJump(moved + again.length, 14, place + again.length, &target))
                abort();
            if (again.kind == X86Instruction::kIndirectJump || again.kind == X86Instruction::kIndirectCall)
                continue;  // the absolute forms; their slot holds the target
            if (again.relSize && target != insn.target)
                abort();
        }
        offset += insn.length;
    }
    // A hook of the bytes, with the replacement near, or (second bit, 64-bit
    // code) far enough for the 14-byte entry jump. No moved branch may land
    // in the bytes the entry jump covers.
    const uint64_t replacement = (mode == X86Mode::k64 && (data[0] & 2)) ? 0x7FF700000000ull : at + 0x5000;
    const uint64_t trampoline = at + 0x200;
    CodeHookPlan plan;
    if (PlanCodeHook(copier, code, avail, at, replacement, trampoline, 63, 32, &plan)) {
        if (plan.covered < 5 || plan.covered > 32 || plan.trampolineLength > 63 || plan.movedLength > 63)
            abort();
        std::vector<uint64_t> targets;
        if (!MovedBranchTargets(copier, plan.trampoline, plan.movedLength, trampoline, &targets))
            abort();
        for (uint64_t target : targets)
            if (target >= at && target < at + plan.covered)
                abort();
    }
    return 0;
}
