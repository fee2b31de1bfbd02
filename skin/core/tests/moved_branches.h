// Reads code the instruction copier has moved (a planned trampoline) and
// lists where its branches go, so the plan tests and the fuzz target can
// check the destinations without trusting the planner. Besides plain
// relative branches it knows the absolute forms the copier writes in
// 64-bit code for far destinations: jmp [rip+0] with the address behind
// it, the opposite condition skipping such a jump, and call [rip+2];
// jmp +8 with the address behind it.
#ifndef QUORBEL_SKIN_CORE_TESTS_MOVED_BRANCHES_H
#define QUORBEL_SKIN_CORE_TESTS_MOVED_BRANCHES_H

#include <cstdint>
#include <cstring>
#include <vector>

#include "skin/core/x86_instruction.h"

// Appends the destination of every branch in code[0, length) (running at
// address) to targets; false when the bytes do not decode.
inline bool MovedBranchTargets(const InstructionCopier& copier, const uint8_t* code, size_t length,
                               uint64_t address, std::vector<uint64_t>* targets)
{
    static const uint8_t kAbsoluteCall[8] = {0xFF, 0x15, 0x02, 0, 0, 0, 0xEB, 0x08};
    const bool is64 = copier.Mode() == X86Mode::k64;
    for (size_t at = 0; at < length;) {
        const size_t left = length - at;
        uint64_t to = 0;
        if (is64 && left >= 16 && std::memcmp(code + at, kAbsoluteCall, 8) == 0) {
            std::memcpy(&to, code + at + 8, 8);
            targets->push_back(to);
            at += 16;
            continue;
        }
        if (is64 && left >= 16 && (code[at] & 0xF0) == 0x70 && code[at + 1] == 14 && code[at + 2] == 0xFF &&
            copier.ReadJump(code + at + 2, 14, address + at + 2, &to)) {
            targets->push_back(to);  // the skip lands right behind: not a destination of its own
            at += 16;
            continue;
        }
        if (is64 && left >= 14 && code[at] == 0xFF && copier.ReadJump(code + at, 14, address + at, &to)) {
            targets->push_back(to);
            at += 14;
            continue;
        }
        X86Instruction insn;
        if (!copier.Measure(code + at, left, address + at, &insn))
            return false;
        if (insn.relSize)
            targets->push_back(insn.target);
        at += insn.length;
    }
    return true;
}

#endif
