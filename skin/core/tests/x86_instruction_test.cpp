// The instruction copier of the code hooks: lengths of 32-bit and 64-bit
// instructions, moving branches and RIP-relative operands, and the plan of
// a hook (covered bytes, trampoline, entry jump).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/core/tests/moved_branches.h"
#include "skin/core/x86_instruction.h"

namespace {

struct LengthCase {
    const char* what;
    X86Mode mode;
    std::vector<uint8_t> bytes;
    int length;  // 0: no instruction
    X86Instruction::Kind kind;
};

class InstructionLength : public testing::TestWithParam<LengthCase> {};

TEST_P(InstructionLength, IsMeasured)
{
    const LengthCase& c = GetParam();
    std::vector<uint8_t> code = c.bytes;
    code.resize(code.size() + 8, 0xCC);  // what follows must not count
    X86Instruction insn;
    const bool ok = InstructionCopier(c.mode).Measure(code.data(), code.size(), 0x1000, &insn);
    EXPECT_EQ(ok, c.length != 0);
    EXPECT_EQ(insn.length, c.length);
    if (ok) {
        EXPECT_EQ(insn.kind, c.kind);
    }
}

const X86Mode k32 = X86Mode::k32, k64 = X86Mode::k64;
const auto kPlain = X86Instruction::kPlain;

INSTANTIATE_TEST_SUITE_P(
    Maps, InstructionLength,
    testing::Values(
        LengthCase{"push ebp", k32, {0x55}, 1, kPlain},
        LengthCase{"mov ebp, esp", k32, {0x8B, 0xEC}, 2, kPlain},
        LengthCase{"sub esp, 16", k32, {0x83, 0xEC, 0x10}, 3, kPlain},
        LengthCase{"sub esp, imm32", k32, {0x81, 0xEC, 0, 1, 0, 0}, 6, kPlain},
        LengthCase{"sub sp, imm16", k32, {0x66, 0x81, 0xEC, 0, 1}, 5, kPlain},
        LengthCase{"mov eax, [esp+8] (SIB)", k32, {0x8B, 0x44, 0x24, 0x08}, 4, kPlain},
        LengthCase{"mov eax, [disp32] via SIB", k32, {0x8B, 0x04, 0x25, 1, 2, 3, 4}, 7, kPlain},
        LengthCase{"mov eax, [ebp+disp32]", k32, {0x8B, 0x85, 1, 2, 3, 4}, 6, kPlain},
        LengthCase{"mov eax, moffs32", k32, {0xA1, 1, 2, 3, 4}, 5, kPlain},
        LengthCase{"mov eax, moffs16 (67)", k32, {0x67, 0xA1, 1, 2}, 4, kPlain},
        LengthCase{"mov ax, [bp+2] (16-bit addressing)", k32, {0x67, 0x8B, 0x46, 0x02}, 4, kPlain},
        LengthCase{"test ecx, imm32", k32, {0xF7, 0xC1, 1, 2, 3, 4}, 6, kPlain},
        LengthCase{"neg eax", k32, {0xF7, 0xD8}, 2, kPlain},
        LengthCase{"test cl, 1", k32, {0xF6, 0xC1, 0x01}, 3, kPlain},
        LengthCase{"enter 16, 0", k32, {0xC8, 0x10, 0x00, 0x00}, 4, kPlain},
        LengthCase{"movzx eax, byte [ebp+8]", k32, {0x0F, 0xB6, 0x45, 0x08}, 4, kPlain},
        LengthCase{"palignr xmm0, xmm1, 8", k32, {0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, 6, kPlain},
        LengthCase{"mov eax, cr0", k32, {0x0F, 0x20, 0xC0}, 3, kPlain},
        LengthCase{"call far ptr16:32", k32, {0x9A, 1, 2, 3, 4, 5, 6}, 7, kPlain},
        LengthCase{"ret 8", k32, {0xC2, 0x08, 0x00}, 3, X86Instruction::kReturn},
        LengthCase{"ret", k32, {0xC3}, 1, X86Instruction::kReturn},
        LengthCase{"call rel32", k32, {0xE8, 1, 2, 3, 4}, 5, X86Instruction::kCall},
        LengthCase{"jz rel32", k32, {0x0F, 0x84, 1, 2, 3, 4}, 6, X86Instruction::kCondJump},
        LengthCase{"jz rel8", k32, {0x74, 0x05}, 2, X86Instruction::kCondJump},
        LengthCase{"jmp rel8", k32, {0xEB, 0x05}, 2, X86Instruction::kJump},
        LengthCase{"loop rel8", k32, {0xE2, 0x05}, 2, X86Instruction::kLoop},
        LengthCase{"jmp [disp32]", k32, {0xFF, 0x25, 1, 2, 3, 4}, 6, X86Instruction::kIndirectJump},
        LengthCase{"call eax", k32, {0xFF, 0xD0}, 2, X86Instruction::kIndirectCall},
        LengthCase{"inc eax (no REX in 32-bit code)", k32, {0x40}, 1, kPlain},
        LengthCase{"undefined 0F 04", k32, {0x0F, 0x04}, 0, kPlain},
        LengthCase{"mov [rsp+8], rbx", k64, {0x48, 0x89, 0x5C, 0x24, 0x08}, 5, kPlain},
        LengthCase{"sub rsp, 40", k64, {0x48, 0x83, 0xEC, 0x28}, 4, kPlain},
        LengthCase{"mov rax, [rip+disp32]", k64, {0x48, 0x8B, 0x05, 1, 2, 3, 4}, 7, kPlain},
        LengthCase{"mov rax, imm64", k64, {0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, 10, kPlain},
        LengthCase{"mov eax, imm32", k64, {0xB8, 1, 2, 3, 4}, 5, kPlain},
        LengthCase{"mov rax, imm32 sign-extended", k64, {0x48, 0xC7, 0xC0, 1, 2, 3, 4}, 7, kPlain},
        LengthCase{"mov eax, moffs64", k64, {0xA1, 1, 2, 3, 4, 5, 6, 7, 8}, 9, kPlain},
        LengthCase{"push rbx", k64, {0x40, 0x53}, 2, kPlain},
        LengthCase{"nop word [rax+rax]", k64, {0x66, 0x0F, 0x1F, 0x44, 0x00, 0x00}, 6, kPlain},
        LengthCase{"endbr64", k64, {0xF3, 0x0F, 0x1E, 0xFA}, 4, kPlain},
        LengthCase{"jmp [rip+0]", k64, {0xFF, 0x25, 0, 0, 0, 0}, 6, X86Instruction::kIndirectJump},
        LengthCase{"call rel32", k64, {0xE8, 1, 2, 3, 4}, 5, X86Instruction::kCall},
        LengthCase{"push es is gone in 64-bit code", k64, {0x06}, 0, kPlain},
        LengthCase{"VEX is not decoded", k64, {0xC5, 0xF8, 0x77}, 0, kPlain}));

TEST(InstructionCopier, TruncatedBytesAreNoInstruction)
{
    const uint8_t call[] = {0xE8, 1, 2, 3, 4};
    const uint8_t sib[] = {0x8B, 0x44};
    const uint8_t prefixes[15] = {0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66,
                                  0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66};
    X86Instruction insn;
    const InstructionCopier copier(X86Mode::k32);
    EXPECT_FALSE(copier.Measure(call, 4, 0, &insn));
    EXPECT_TRUE(copier.Measure(call, 5, 0, &insn));
    EXPECT_FALSE(copier.Measure(sib, 2, 0, &insn));
    EXPECT_FALSE(copier.Measure(prefixes, sizeof prefixes, 0, &insn));  // longer than 15 bytes
    EXPECT_FALSE(copier.Measure(nullptr, 0, 0, &insn));
}

TEST(InstructionCopier, ReportsBranchTargetsAndIndirectSlots)
{
    X86Instruction insn;
    const uint8_t jz[] = {0x74, 0xFE};  // jz to itself
    ASSERT_TRUE(InstructionCopier(X86Mode::k32).Measure(jz, 2, 0x401000, &insn));
    EXPECT_EQ(insn.target, 0x401000u);
    const uint8_t call[] = {0xE8, 0xFB, 0xFF, 0xFF, 0xFF};  // call to itself
    ASSERT_TRUE(InstructionCopier(X86Mode::k64).Measure(call, 5, 0x7FF000001000ull, &insn));
    EXPECT_EQ(insn.target, 0x7FF000001000ull);
    const uint8_t jmp32[] = {0xFF, 0x25, 0x78, 0x56, 0x34, 0x12};
    ASSERT_TRUE(InstructionCopier(X86Mode::k32).Measure(jmp32, 6, 0x401000, &insn));
    EXPECT_EQ(insn.indirectSlot, 0x12345678u);
    const uint8_t jmp64[] = {0xFF, 0x25, 0x10, 0, 0, 0};
    ASSERT_TRUE(InstructionCopier(X86Mode::k64).Measure(jmp64, 6, 0x140001000ull, &insn));
    EXPECT_EQ(insn.indirectSlot, 0x140001016ull);
    EXPECT_TRUE(insn.DynamicTarget());
}

// Copies code that runs at `from` to `to` and decodes the copy there.
struct Moved {
    size_t written = 0;
    uint8_t bytes[kX86MaxMovedInstruction] = {};
    X86Instruction at;  // the copy decoded at its new place
};

Moved Move(X86Mode mode, std::vector<uint8_t> code, uint64_t from, uint64_t to)
{
    Moved m;
    const InstructionCopier copier(mode);
    m.written = copier.Copy(code.data(), code.size(), from, m.bytes, sizeof m.bytes, to);
    if (m.written)
        copier.Measure(m.bytes, m.written, to, &m.at);
    return m;
}

TEST(InstructionCopier, MovedBranchesKeepTheirTargets)
{
    // rel32 call, 32-bit code: operand + source - destination.
    Moved call = Move(X86Mode::k32, {0xE8, 0x10, 0, 0, 0}, 0x401000, 0x500000);
    ASSERT_EQ(call.written, 5u);
    EXPECT_EQ(call.at.target, 0x401015u);

    // jz rel8 that still reaches stays short.
    Moved near = Move(X86Mode::k32, {0x74, 0x10}, 0x401000, 0x401008);
    ASSERT_EQ(near.written, 2u);
    EXPECT_EQ(near.at.target, 0x401012u);

    // jz rel8 far away is widened to 0F 84 rel32.
    Moved jz = Move(X86Mode::k32, {0x74, 0x10}, 0x401000, 0x600000);
    ASSERT_EQ(jz.written, 6u);
    EXPECT_EQ(jz.bytes[0], 0x0F);
    EXPECT_EQ(jz.bytes[1], 0x84);
    EXPECT_EQ(jz.at.target, 0x401012u);

    // jmp rel8 far away becomes E9 rel32.
    Moved jmp = Move(X86Mode::k32, {0xEB, 0x7F}, 0x401000, 0x600000);
    ASSERT_EQ(jmp.written, 5u);
    EXPECT_EQ(jmp.bytes[0], 0xE9);
    EXPECT_EQ(jmp.at.target, 0x401081u);

    // A hinted branch is widened without its hint prefix (the wide form
    // must stay within 15 bytes).
    Moved hinted = Move(X86Mode::k32, {0x2E, 0x74, 0x10}, 0x401000, 0x600000);
    ASSERT_EQ(hinted.written, 6u);
    EXPECT_EQ(hinted.bytes[0], 0x0F);
    EXPECT_EQ(hinted.at.target, 0x401013u);
    // With an operand-size prefix the wide form would be rel16: it stays
    // short when it reaches and does not move otherwise.
    EXPECT_EQ(Move(X86Mode::k32, {0x66, 0x74, 0x10}, 0x401000, 0x600000).written, 0u);
    EXPECT_EQ(Move(X86Mode::k32, {0x66, 0x74, 0x10}, 0x401000, 0x401004).written, 3u);

    // loop has no longer form: out of reach, it cannot move.
    EXPECT_EQ(Move(X86Mode::k32, {0xE2, 0x10}, 0x401000, 0x600000).written, 0u);
    EXPECT_EQ(Move(X86Mode::k32, {0xE2, 0x10}, 0x401000, 0x401004).written, 2u);
}

TEST(InstructionCopier, MovedRipRelativeOperandsKeepTheirAddress)
{
    // mov rax, [rip+0x100] at 0x140001000 reads 0x140001107.
    Moved m = Move(X86Mode::k64, {0x48, 0x8B, 0x05, 0x00, 0x01, 0, 0}, 0x140001000ull, 0x140200000ull);
    ASSERT_EQ(m.written, 7u);
    int32_t disp;
    std::memcpy(&disp, m.bytes + 3, 4);
    EXPECT_EQ(0x140200000ull + 7 + int64_t(disp), 0x140001107ull);
    // More than 2 GB away it cannot be moved.
    EXPECT_EQ(Move(X86Mode::k64, {0x48, 0x8B, 0x05, 0, 1, 0, 0}, 0x140001000ull, 0x7FF700000000ull).written,
              0u);
}

TEST(InstructionCopier, FarBranchesIn64BitCodeGoThroughAbsoluteAddresses)
{
    const uint64_t from = 0x140001000ull, to = 0x7FF700000000ull;
    const InstructionCopier copier(X86Mode::k64);

    // call rel32: call [rip+2]; jmp +8; dq target.
    Moved call = Move(X86Mode::k64, {0xE8, 0x10, 0, 0, 0}, from, to);
    ASSERT_EQ(call.written, 16u);
    EXPECT_EQ(call.at.kind, X86Instruction::kIndirectCall);
    EXPECT_EQ(call.at.indirectSlot, to + 8);
    uint64_t slot;
    std::memcpy(&slot, call.bytes + 8, 8);
    EXPECT_EQ(slot, from + 0x15);

    // jmp rel32: an absolute jump.
    Moved jmp = Move(X86Mode::k64, {0xE9, 0x10, 0, 0, 0}, from, to);
    uint64_t dest = 0;
    ASSERT_EQ(jmp.written, 14u);
    ASSERT_TRUE(copier.ReadJump(jmp.bytes, jmp.written, to, &dest));
    EXPECT_EQ(dest, from + 0x15);

    // jz rel8: jnz over an absolute jump to the target.
    Moved jz = Move(X86Mode::k64, {0x74, 0x10}, from, to);
    ASSERT_EQ(jz.written, 16u);
    EXPECT_EQ(jz.bytes[0], 0x75);
    EXPECT_EQ(jz.at.target, to + 16);
    ASSERT_TRUE(copier.ReadJump(jz.bytes + 2, 14, to + 2, &dest));
    EXPECT_EQ(dest, from + 0x12);
}

// A conditional branch placed just out of rel32 reach: the opposite
// condition skips exactly the jump written after it, even where that jump
// starts a few bytes later and would reach the target in its short form.
TEST(InstructionCopier, TheOppositeConditionSkipsExactlyTheJumpBehindIt)
{
    const uint64_t from = 0x140001000ull;
    struct Case {
        const char* what;
        std::vector<uint8_t> code;
        uint64_t target;
    };
    const Case cases[] = {
        {"jp rel32", {0x0F, 0x8A, 0x00, 0x00, 0xFF, 0x7F}, from + 6 + 0x7FFF0000ull},
        {"jz rel8", {0x74, 0x10}, from + 0x12},
    };
    const InstructionCopier copier(X86Mode::k64);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // rel32 from the place's widened form misses the target by one byte.
        const size_t wide = c.code.size() == 2 ? 6 : c.code.size();
        const uint64_t to = c.target - wide - 0x80000000ull;
        Moved m = Move(X86Mode::k64, c.code, from, to);
        ASSERT_GE(m.written, 4u);
        ASSERT_EQ(m.at.kind, X86Instruction::kCondJump);
        ASSERT_EQ(m.at.length, 2u);
        // Not taken here: the condition's fall-through is the jump.
        EXPECT_EQ(m.at.target, to + m.written);
        uint64_t dest = 0;
        ASSERT_TRUE(copier.ReadJump(m.bytes + 2, m.written - 2, to + 2, &dest));
        EXPECT_EQ(dest, c.target);
    }
}

TEST(InstructionCopier, JumpsAreShortWhenTheyReachAndAbsoluteOtherwise)
{
    uint8_t buf[16];
    uint64_t dest = 0;
    const InstructionCopier c64(X86Mode::k64), c32(X86Mode::k32);
    EXPECT_EQ(c64.WriteJump(buf, sizeof buf, 0x140001000ull, 0x140201000ull), 5u);
    ASSERT_TRUE(c64.ReadJump(buf, 5, 0x140001000ull, &dest));
    EXPECT_EQ(dest, 0x140201000ull);
    EXPECT_EQ(c64.WriteJump(buf, sizeof buf, 0x140001000ull, 0x7FF700000000ull), 14u);
    ASSERT_TRUE(c64.ReadJump(buf, 14, 0x140001000ull, &dest));
    EXPECT_EQ(dest, 0x7FF700000000ull);
    EXPECT_EQ(c64.WriteJump(buf, 13, 0x140001000ull, 0x7FF700000000ull), 0u);
    // 32-bit code wraps: every jump is 5 bytes.
    EXPECT_EQ(c32.WriteJump(buf, sizeof buf, 0x10000, 0xFFFF0000u), 5u);
    ASSERT_TRUE(c32.ReadJump(buf, 5, 0x10000, &dest));
    EXPECT_EQ(dest, 0xFFFF0000u);
    EXPECT_FALSE(c32.ReadJump(buf, 4, 0x10000, &dest));
}

TEST(CodeHookPlan, CoversWholeInstructionsUntilTheJumpFits)
{
    // 2-byte, 1-byte and 3-byte instructions: 6 bytes covered.
    const std::vector<uint8_t> target = {0x8B, 0xC1, 0x90, 0x8D, 0x04, 0x10, 0xC3, 0xCC};
    const uint64_t at = 0x10001000, replacement = 0x401000, trampoline = 0x402000;
    CodeHookPlan plan;
    ASSERT_TRUE(PlanCodeHook(InstructionCopier(X86Mode::k32), target.data(), target.size(), at, replacement,
                             trampoline, 31, 26, &plan));
    EXPECT_EQ(plan.covered, 6u);
    EXPECT_EQ(plan.movedLength, 6u);
    EXPECT_EQ(0, std::memcmp(plan.trampoline, target.data(), 6));
    uint64_t dest = 0;
    const InstructionCopier copier(X86Mode::k32);
    ASSERT_TRUE(copier.ReadJump(plan.trampoline + 6, 5, trampoline + 6, &dest));
    EXPECT_EQ(dest, at + 6);
    EXPECT_EQ(plan.trampolineLength, 11u);
    ASSERT_TRUE(copier.ReadJump(plan.entry, 5, at, &dest));
    EXPECT_EQ(dest, replacement);
    EXPECT_EQ(plan.entry[5], 0xCC);
}

TEST(CodeHookPlan, AShortConditionalJumpFirstStillReachesItsTarget)
{
    // jz +6; mov eax, 1; ret; mov eax, 2; ret
    const std::vector<uint8_t> target = {0x74, 0x06, 0xB8, 1, 0, 0, 0, 0xC3, 0xB8, 2, 0, 0, 0, 0xC3};
    const uint64_t at = 0x180001000ull, trampoline = 0x140002000ull;
    CodeHookPlan plan;
    ASSERT_TRUE(PlanCodeHook(InstructionCopier(X86Mode::k64), target.data(), target.size(), at, 0x140003000ull,
                             trampoline, 63, 32, &plan));
    EXPECT_EQ(plan.covered, 7u);
    X86Instruction first;
    ASSERT_TRUE(InstructionCopier(X86Mode::k64).Measure(plan.trampoline, plan.trampolineLength, trampoline,
                                                         &first));
    EXPECT_EQ(first.kind, X86Instruction::kCondJump);
    EXPECT_EQ(first.target, at + 8);  // the second mov
}

TEST(CodeHookPlan, RefusesWhatCannotBeCovered)
{
    CodeHookPlan plan;
    const InstructionCopier copier(X86Mode::k32);
    const uint8_t ret[] = {0xC3, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC};
    EXPECT_FALSE(PlanCodeHook(copier, ret, sizeof ret, 0x1000, 0x9000, 0x5000, 31, 26, &plan));
    const uint8_t shortThenRet[] = {0x8B, 0xC1, 0xC3, 0xCC, 0xCC, 0xCC};
    EXPECT_FALSE(PlanCodeHook(copier, shortThenRet, sizeof shortThenRet, 0x1000, 0x9000, 0x5000, 31, 26, &plan));
    // A jump counts: a 5-byte jmp at the start is covered and moved.
    const uint8_t thunk[] = {0xE9, 0x10, 0, 0, 0, 0xCC};
    ASSERT_TRUE(PlanCodeHook(copier, thunk, sizeof thunk, 0x1000, 0x9000, 0x5000, 31, 26, &plan));
    EXPECT_EQ(plan.covered, 5u);
    // Undecodable bytes.
    const uint8_t junk[] = {0x0F, 0x04, 0, 0, 0, 0};
    EXPECT_FALSE(PlanCodeHook(copier, junk, sizeof junk, 0x1000, 0x9000, 0x5000, 31, 26, &plan));
    // A replacement far away in 64-bit code needs 14 bytes of target.
    const std::vector<uint8_t> six = {0x8B, 0xC1, 0x90, 0x8D, 0x04, 0x10, 0xC3, 0xCC};
    EXPECT_FALSE(PlanCodeHook(InstructionCopier(X86Mode::k64), six.data(), six.size(), 0x140001000ull,
                              0x7FF700000000ull, 0x140002000ull, 63, 32, &plan));
}

// A branch among the moved instructions whose destination lies in the
// covered bytes would land in the middle of the entry jump: such a target
// is refused. A destination at the end of the covered bytes (where the
// trampoline jumps back) or outside them is fine.
struct CoveredBranchCase {
    const char* what;
    X86Mode mode;
    std::vector<uint8_t> bytes;
    uint64_t replacement;  // near (5-byte entry jump) or far (14 bytes)
    bool planned;
};

void PrintTo(const CoveredBranchCase& c, std::ostream* os) { *os << c.what; }

class CoveredBranch : public testing::TestWithParam<CoveredBranchCase> {};

TEST_P(CoveredBranch, NoMovedBranchLandsInTheCoveredBytes)
{
    const CoveredBranchCase& c = GetParam();
    const InstructionCopier copier(c.mode);
    const uint64_t at = c.mode == X86Mode::k64 ? 0x140001000ull : 0x401000u;
    const uint64_t trampoline = at + 0x2000;
    std::vector<uint8_t> code = c.bytes;
    code.resize(code.size() + 16, 0xCC);
    CodeHookPlan plan;
    const bool planned = PlanCodeHook(copier, code.data(), code.size(), at, c.replacement, trampoline, 63, 32, &plan);
    EXPECT_EQ(planned, c.planned);
    if (!planned) {
        EXPECT_EQ(plan.covered, 0u);
        return;
    }
    std::vector<uint64_t> targets;
    ASSERT_TRUE(MovedBranchTargets(copier, plan.trampoline, plan.movedLength, trampoline, &targets));
    EXPECT_FALSE(targets.empty());
    for (uint64_t target : targets)
        EXPECT_FALSE(target >= at && target < at + plan.covered) << std::hex << target;
}

const uint64_t kNear32 = 0x10000000u, kNear64 = 0x140100000ull, kFar64 = 0x7FF700000000ull;

INSTANTIATE_TEST_SUITE_P(
    Plans, CoveredBranch,
    testing::Values(
        CoveredBranchCase{"xor eax, eax; jz +0 into the fifth byte", k32,
                          {0x31, 0xC0, 0x74, 0x00, 0x90, 0x90, 0xC3}, kNear32, false},
        CoveredBranchCase{"dec ecx; jnz back to the start", k32, {0x49, 0x75, 0xFD, 0x90, 0x90, 0xC3}, kNear32,
                          false},
        CoveredBranchCase{"REX jnz back to the start", k64, {0x49, 0x75, 0xFD, 0x90, 0x90, 0xC3}, kNear64, false},
        CoveredBranchCase{"jnz rel32 to itself", k64, {0x0F, 0x85, 0xFA, 0xFF, 0xFF, 0xFF, 0xC3}, kNear64,
                          false},
        CoveredBranchCase{"a call into the covered bytes", k32, {0x90, 0xE8, 0xFB, 0xFF, 0xFF, 0xFF, 0xC3},
                          kNear32, false},
        CoveredBranchCase{"jz past 5 bytes, inside a 14-byte entry", k64,
                          {0x31, 0xC0, 0x74, 0x06, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90,
                           0x90, 0x90, 0xC3},
                          kFar64, false},
        CoveredBranchCase{"the same jz past a 5-byte entry", k64,
                          {0x31, 0xC0, 0x74, 0x06, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90,
                           0x90, 0x90, 0xC3},
                          kNear64, true},
        CoveredBranchCase{"jz rel32 to the end of the covered bytes", k64,
                          {0x0F, 0x84, 0x00, 0x00, 0x00, 0x00, 0xC3}, kNear64, true},
        CoveredBranchCase{"call to the end of the covered bytes", k32, {0xE8, 0x00, 0x00, 0x00, 0x00, 0x58, 0xC3},
                          kNear32, true},
        CoveredBranchCase{"jmp back before the start", k32, {0x90, 0x90, 0x90, 0xEB, 0xF0}, kNear32, true}));

}  // namespace
