// Instruction lengths follow the published IA-32 / Intel 64 opcode maps:
// one table for the first opcode byte and one for the byte after 0x0F, each
// entry telling whether a ModR/M byte follows and which immediate or
// relative operand comes after it.
#include "skin/core/x86_instruction.h"

#include <cstring>
#include <initializer_list>

namespace {

// Operand descriptor bits of an opcode.
enum : uint16_t {
    kModRM = 1 << 0,     // a ModR/M byte (with SIB and displacement) follows
    kImm8 = 1 << 1,      // one immediate byte
    kImm16 = 1 << 2,     // two immediate bytes
    kImmZ = 1 << 3,      // 4 immediate bytes, 2 with the operand-size prefix
    kImmV = 1 << 4,      // as kImmZ, but 8 with REX.W (mov r64, imm64)
    kRel8 = 1 << 5,      // rel8 branch
    kRelZ = 1 << 6,      // rel32 branch (rel16 with 66 in 32-bit code)
    kMoffs = 1 << 7,     // absolute address operand, address-size wide
    kFarPtr = 1 << 8,    // ptr16:32 (ptr16:16 with 66)
    kPrefix = 1 << 9,    // a legacy prefix
    kEscape = 1 << 10,   // 0x0F
    kInvalid64 = 1 << 11,  // not an instruction in 64-bit code
    kInvalid = 1 << 12,  // not an instruction
    kGroup3 = 1 << 13,   // F6 / F7: TEST (reg 0 and 1) carries an immediate
    kRegModRM = 1 << 14,  // ModR/M whose mod field is ignored (mov cr/dr)
};

struct OpcodeTables {
    uint16_t one[256];
    uint16_t two[256];

    OpcodeTables()
    {
        std::memset(one, 0, sizeof one);
        std::memset(two, 0, sizeof two);
        auto set = [](uint16_t* t, int from, int to, uint16_t bits) {
            for (int i = from; i <= to; ++i)
                t[i] |= bits;
        };

        // --- one-byte map ----------------------------------------------
        for (int base = 0x00; base <= 0x38; base += 8) {
            set(one, base, base + 3, kModRM);  // ALU r/m forms
            one[base + 4] |= kImm8;            // ALU al, imm8
            one[base + 5] |= kImmZ;            // ALU eax, imm32
        }
        for (int op : {0x26, 0x2E, 0x36, 0x3E, 0x64, 0x65, 0x66, 0x67, 0xF0, 0xF2, 0xF3})
            one[op] |= kPrefix;
        one[0x0F] = kEscape;
        for (int op : {0x06, 0x07, 0x0E, 0x16, 0x17, 0x1E, 0x1F, 0x27, 0x2F, 0x37, 0x3F, 0x60, 0x61,
                       0xCE, 0xD6})
            one[op] |= kInvalid64;
        one[0x62] = kModRM | kInvalid64;  // bound (EVEX in 64-bit code)
        one[0x63] = kModRM;               // arpl / movsxd
        one[0x68] = kImmZ;
        one[0x69] = kModRM | kImmZ;
        one[0x6A] = kImm8;
        one[0x6B] = kModRM | kImm8;
        set(one, 0x70, 0x7F, kRel8);
        one[0x80] = kModRM | kImm8;
        one[0x81] = kModRM | kImmZ;
        one[0x82] = kModRM | kImm8 | kInvalid64;
        one[0x83] = kModRM | kImm8;
        set(one, 0x84, 0x8F, kModRM);
        one[0x9A] = kFarPtr | kInvalid64;
        set(one, 0xA0, 0xA3, kMoffs);
        one[0xA8] = kImm8;
        one[0xA9] = kImmZ;
        set(one, 0xB0, 0xB7, kImm8);
        set(one, 0xB8, 0xBF, kImmV);
        one[0xC0] = kModRM | kImm8;
        one[0xC1] = kModRM | kImm8;
        one[0xC2] = kImm16;
        one[0xC4] = kModRM | kInvalid64;  // les / lds (VEX in 64-bit code)
        one[0xC5] = kModRM | kInvalid64;
        one[0xC6] = kModRM | kImm8;
        one[0xC7] = kModRM | kImmZ;
        one[0xC8] = kImm16 | kImm8;  // enter
        one[0xCA] = kImm16;
        one[0xCD] = kImm8;
        one[0xD4] = kImm8 | kInvalid64;
        one[0xD5] = kImm8 | kInvalid64;
        set(one, 0xD0, 0xD3, kModRM);
        set(one, 0xD8, 0xDF, kModRM);  // x87
        set(one, 0xE0, 0xE3, kRel8);
        set(one, 0xE4, 0xE7, kImm8);
        one[0xE8] = kRelZ;
        one[0xE9] = kRelZ;
        one[0xEA] = kFarPtr | kInvalid64;
        one[0xEB] = kRel8;
        one[0xF6] = kModRM | kGroup3;
        one[0xF7] = kModRM | kGroup3;
        one[0xFE] = kModRM;
        one[0xFF] = kModRM;

        // --- two-byte map (after 0x0F) ----------------------------------
        set(two, 0x00, 0x03, kModRM);
        for (int op : {0x04, 0x0A, 0x0C, 0x24, 0x25, 0x26, 0x27, 0x36, 0x39, 0x3B, 0x3C, 0x3D, 0x3E,
                       0x3F, 0x7A, 0x7B, 0xA6, 0xA7})
            two[op] = kInvalid;
        two[0x0D] = kModRM;
        two[0x0F] = kModRM | kImm8;  // 3DNow!
        set(two, 0x10, 0x1F, kModRM);
        set(two, 0x20, 0x23, kRegModRM);
        set(two, 0x28, 0x2F, kModRM);
        set(two, 0x40, 0x6F, kModRM);
        set(two, 0x70, 0x73, kModRM | kImm8);
        set(two, 0x74, 0x76, kModRM);
        two[0x78] = kModRM;
        two[0x79] = kModRM;
        set(two, 0x7C, 0x7F, kModRM);
        set(two, 0x80, 0x8F, kRelZ);
        set(two, 0x90, 0x9F, kModRM);
        two[0xA3] = kModRM;
        two[0xA4] = kModRM | kImm8;
        two[0xA5] = kModRM;
        two[0xAB] = kModRM;
        two[0xAC] = kModRM | kImm8;
        set(two, 0xAD, 0xB9, kModRM);
        two[0xBA] = kModRM | kImm8;
        set(two, 0xBB, 0xC1, kModRM);
        two[0xC2] = kModRM | kImm8;
        two[0xC3] = kModRM;
        set(two, 0xC4, 0xC6, kModRM | kImm8);
        two[0xC7] = kModRM;
        set(two, 0xD0, 0xFF, kModRM);
        // 0F 38 and 0F 3A are decoded apart (a third opcode byte).
    }
};

const OpcodeTables& Tables()
{
    static const OpcodeTables tables;
    return tables;
}

int64_t ReadSigned(const uint8_t* p, size_t size)
{
    switch (size) {
    case 1: return int8_t(p[0]);
    case 2: {
        int16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    default: {
        int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

void WriteSigned(uint8_t* p, size_t size, int64_t value)
{
    if (size == 1) {
        p[0] = uint8_t(int8_t(value));
    } else if (size == 2) {
        int16_t v = int16_t(value);
        std::memcpy(p, &v, 2);
    } else {
        int32_t v = int32_t(value);
        std::memcpy(p, &v, 4);
    }
}

// In 32-bit code an operand-size prefix turns a branch's wide form into
// rel16 (and cuts the instruction pointer to 16 bits): such branches keep
// their short form or do not move.
bool HasOperandSizePrefix(const uint8_t* code, size_t prefixLength)
{
    for (size_t i = 0; i < prefixLength; ++i)
        if (code[i] == 0x66)
            return true;
    return false;
}

bool FitsSigned(int64_t value, size_t size)
{
    switch (size) {
    case 1: return value >= INT8_MIN && value <= INT8_MAX;
    case 2: return value >= INT16_MIN && value <= INT16_MAX;
    default: return value >= INT32_MIN && value <= INT32_MAX;
    }
}

}  // namespace

bool InstructionCopier::Measure(const uint8_t* code, size_t avail, uint64_t address,
                                X86Instruction* out) const
{
    X86Instruction insn;
    *out = insn;
    if (!code)
        return false;
    const OpcodeTables& t = Tables();
    const bool is64 = mode_ == X86Mode::k64;
    const size_t limit = avail < kX86MaxInstruction ? avail : kX86MaxInstruction;

    size_t pos = 0;
    bool operandSize = false;  // 0x66 seen
    bool addressSize = false;  // 0x67 seen
    bool rexW = false;         // REX.W on the prefix right before the opcode
    for (;;) {
        if (pos >= limit)
            return false;
        const uint8_t b = code[pos];
        if (is64 && (b & 0xF0) == 0x40) {
            rexW = (b & 0x08) != 0;
            ++pos;
            continue;
        }
        if (!(t.one[b] & kPrefix))
            break;
        if (b == 0x66)
            operandSize = true;
        if (b == 0x67)
            addressSize = true;
        rexW = false;  // a REX prefix counts only right before the opcode
        ++pos;
    }
    insn.prefixLength = uint8_t(pos);

    const uint8_t op = code[pos++];
    uint16_t desc;
    uint8_t op2 = 0;
    if (op == 0x0F) {
        if (pos >= limit)
            return false;
        op2 = code[pos++];
        if (op2 == 0x38 || op2 == 0x3A) {
            if (pos >= limit)
                return false;
            ++pos;  // third opcode byte
            desc = kModRM | (op2 == 0x3A ? kImm8 : 0);
            insn.opcodeLength = 3;
        } else {
            desc = t.two[op2];
            insn.opcodeLength = 2;
        }
    } else {
        desc = t.one[op];
        insn.opcodeLength = 1;
    }
    if ((desc & kInvalid) || (is64 && (desc & kInvalid64)))
        return false;

    // ModR/M, SIB and displacement.
    uint8_t modrm = 0;
    if (desc & (kModRM | kRegModRM)) {
        if (pos >= limit)
            return false;
        modrm = code[pos++];
        const uint8_t mod = modrm >> 6, rm = modrm & 7;
        if ((desc & kModRM) && mod != 3) {
            if (!is64 && addressSize) {
                // 16-bit addressing: no SIB; disp16 for mod 2 and [disp16].
                if (mod == 1)
                    pos += 1;
                else if (mod == 2 || (mod == 0 && rm == 6))
                    pos += 2;
            } else {
                if (rm == 4) {
                    if (pos >= limit)
                        return false;
                    const uint8_t sib = code[pos++];
                    if (mod == 0 && (sib & 7) == 5)
                        pos += 4;
                }
                if (mod == 1) {
                    pos += 1;
                } else if (mod == 2) {
                    pos += 4;
                } else if (mod == 0 && rm == 5) {
                    if (is64)
                        insn.ripOffset = uint8_t(pos);
                    pos += 4;
                }
            }
        }
        if (op == 0xFF && insn.opcodeLength == 1) {
            const uint8_t reg = (modrm >> 3) & 7;
            if (reg == 2 || reg == 3)
                insn.kind = X86Instruction::kIndirectCall;
            else if (reg == 4 || reg == 5)
                insn.kind = X86Instruction::kIndirectJump;
            if ((reg == 2 || reg == 4) && mod == 0 && rm == 5 && (is64 || !addressSize))
                insn.indirectSlot = 1;  // filled in below, once the length is known
        }
    }

    // Immediates and relative operands.
    const size_t zSize = operandSize ? 2 : 4;
    if (desc & kGroup3) {
        const uint8_t reg = (modrm >> 3) & 7;
        if (reg == 0 || reg == 1)
            pos += op == 0xF6 ? 1 : zSize;
    }
    if (desc & kImm16)
        pos += 2;
    if (desc & kImm8)
        pos += 1;
    if (desc & kImmZ)
        pos += zSize;
    if (desc & kImmV)
        pos += (is64 && rexW) ? 8 : zSize;
    if (desc & kMoffs)
        pos += is64 ? (addressSize ? 4 : 8) : (addressSize ? 2 : 4);
    if (desc & kFarPtr)
        pos += operandSize ? 4 : 6;
    if (desc & (kRel8 | kRelZ)) {
        insn.relOffset = uint8_t(pos);
        insn.relSize = (desc & kRel8) ? 1 : (is64 ? 4 : uint8_t(zSize));
        pos += insn.relSize;
    }
    if (pos > limit)
        return false;
    insn.length = uint8_t(pos);

    // What kind of instruction this is, for the callers that stop at the
    // end of straight-line code.
    if (insn.opcodeLength == 1) {
        switch (op) {
        case 0xC2: case 0xC3: case 0xCA: case 0xCB: case 0xCF:
            insn.kind = X86Instruction::kReturn;
            break;
        case 0xE9: case 0xEB:
            insn.kind = X86Instruction::kJump;
            break;
        case 0xE8:
            insn.kind = X86Instruction::kCall;
            break;
        case 0xE0: case 0xE1: case 0xE2: case 0xE3:
            insn.kind = X86Instruction::kLoop;
            break;
        case 0xEA:
            insn.kind = X86Instruction::kFarJump;
            break;
        default:
            if (op >= 0x70 && op <= 0x7F)
                insn.kind = X86Instruction::kCondJump;
            break;
        }
    } else if (insn.opcodeLength == 2 && op2 >= 0x80 && op2 <= 0x8F) {
        insn.kind = X86Instruction::kCondJump;
    }

    if (insn.relSize) {
        const int64_t rel = ReadSigned(code + insn.relOffset, insn.relSize);
        uint64_t target = address + insn.length + uint64_t(rel);
        if (!is64)
            target &= 0xFFFFFFFFu;
        insn.target = target;
    }
    if (insn.indirectSlot) {
        // FF 15 / FF 25: the slot's address is the displacement, absolute in
        // 32-bit code, relative to the next instruction in 64-bit code.
        const int64_t disp = ReadSigned(code + insn.length - 4, 4);
        insn.indirectSlot = is64 ? address + insn.length + uint64_t(disp) : uint64_t(uint32_t(disp));
    }
    *out = insn;
    return true;
}

bool InstructionCopier::Reaches32(uint64_t from, uint64_t to) const
{
    if (mode_ == X86Mode::k32)
        return true;
    const int64_t d = int64_t(to - from);
    return d >= INT32_MIN && d <= INT32_MAX;
}

size_t InstructionCopier::JumpLength(uint64_t from, uint64_t to) const
{
    return Reaches32(from + 5, to) ? 5 : 14;
}

size_t InstructionCopier::WriteJump(uint8_t* at, size_t capacity, uint64_t atAddress, uint64_t to) const
{
    if (Reaches32(atAddress + 5, to)) {
        if (capacity < 5)
            return 0;
        at[0] = 0xE9;
        WriteSigned(at + 1, 4, int64_t(to - (atAddress + 5)));
        return 5;
    }
    return WriteAbsoluteJump(at, capacity, to);
}

size_t InstructionCopier::WriteAbsoluteJump(uint8_t* at, size_t capacity, uint64_t to) const
{
    if (capacity < 14)
        return 0;
    // jmp [rip+0] followed by the absolute destination.
    static const uint8_t kAbsJump[6] = {0xFF, 0x25, 0, 0, 0, 0};
    std::memcpy(at, kAbsJump, 6);
    std::memcpy(at + 6, &to, 8);
    return 14;
}

bool InstructionCopier::ReadJump(const uint8_t* code, size_t avail, uint64_t address, uint64_t* to) const
{
    if (avail >= 5 && code[0] == 0xE9) {
        uint64_t dest = address + 5 + uint64_t(ReadSigned(code + 1, 4));
        if (mode_ == X86Mode::k32)
            dest &= 0xFFFFFFFFu;
        *to = dest;
        return true;
    }
    if (mode_ == X86Mode::k64 && avail >= 14 && code[0] == 0xFF && code[1] == 0x25 && code[2] == 0 &&
        code[3] == 0 && code[4] == 0 && code[5] == 0) {
        std::memcpy(to, code + 6, 8);
        return true;
    }
    return false;
}

size_t InstructionCopier::Copy(const uint8_t* code, size_t avail, uint64_t address, uint8_t* dest,
                               size_t capacity, uint64_t destAddress, X86Instruction* info) const
{
    X86Instruction insn;
    if (!Measure(code, avail, address, &insn))
        return 0;
    if (info)
        *info = insn;
    const bool is64 = mode_ == X86Mode::k64;
    uint8_t out[kX86MaxMovedInstruction];
    size_t n = insn.length;
    std::memcpy(out, code, n);

    if (insn.ripOffset) {
        // The operand's address stays where it was.
        const int64_t disp = ReadSigned(code + insn.ripOffset, 4);
        const int64_t moved = disp + int64_t(address - destAddress);
        if (!FitsSigned(moved, 4))
            return 0;
        WriteSigned(out + insn.ripOffset, 4, moved);
    }

    if (insn.relSize) {
        const uint64_t target = insn.target;
        int64_t rel = int64_t(target - (destAddress + insn.length));
        if (!is64)
            rel = int32_t(uint32_t(target - (destAddress + insn.length)));
        if (FitsSigned(rel, insn.relSize)) {
            WriteSigned(out + insn.relOffset, insn.relSize, rel);
        } else if (insn.relSize == 1 && !(is64 == false && HasOperandSizePrefix(code, insn.prefixLength)) &&
                   (insn.kind == X86Instruction::kJump || insn.kind == X86Instruction::kCondJump)) {
            // Widen: jmp rel8 -> E9 rel32, jcc rel8 -> 0F 8x rel32. Prefixes
            // on a branch are only hints; the wide form goes without them.
            const uint8_t opcode = code[insn.prefixLength];
            const size_t wide = insn.kind == X86Instruction::kJump ? 5 : 6;
            const uint64_t end = destAddress + wide;
            n = 0;
            if (Reaches32(end, target)) {
                if (insn.kind == X86Instruction::kJump) {
                    out[n++] = 0xE9;
                } else {
                    out[n++] = 0x0F;
                    out[n++] = uint8_t(0x80 | (opcode & 0x0F));
                }
                WriteSigned(out + n, 4, int64_t(target - end));
                n += 4;
            } else if (insn.kind == X86Instruction::kJump) {
                n = WriteJump(out, sizeof out, destAddress, target);
            } else {
                // The opposite condition skips an absolute jump to the target.
                out[n++] = uint8_t(opcode ^ 1);
                out[n++] = 14;
                n += WriteAbsoluteJump(out + n, sizeof out - n, target);
            }
        } else if (is64 && insn.relSize == 4 && insn.prefixLength == 0) {
            // rel32 out of reach in 64-bit code: go through an absolute address.
            const uint8_t opcode = code[0];
            if (insn.kind == X86Instruction::kJump) {
                n = WriteJump(out, sizeof out, destAddress, target);
            } else if (insn.kind == X86Instruction::kCall) {
                // call [rip+2]; jmp +8; dq target
                static const uint8_t kAbsCall[8] = {0xFF, 0x15, 0x02, 0, 0, 0, 0xEB, 0x08};
                std::memcpy(out, kAbsCall, 8);
                std::memcpy(out + 8, &target, 8);
                n = 16;
            } else if (insn.kind == X86Instruction::kCondJump && opcode == 0x0F) {
                n = 0;
                out[n++] = uint8_t(0x70 | ((code[1] & 0x0F) ^ 1));
                out[n++] = 14;
                n += WriteAbsoluteJump(out + n, sizeof out - n, target);
            } else {
                return 0;
            }
        } else {
            return 0;  // loop / jcxz, rel16: no longer form
        }
    }
    if (n == 0 || n > capacity)
        return 0;
    std::memcpy(dest, out, n);
    return n;
}

bool PlanCodeHook(const InstructionCopier& copier, const uint8_t* target, size_t avail,
                  uint64_t targetAddress, uint64_t replacement, uint64_t trampolineAddress,
                  size_t trampolineCapacity, size_t maxCovered, CodeHookPlan* plan)
{
    *plan = CodeHookPlan();
    if (trampolineCapacity > CodeHookPlan::kMaxBytes)
        trampolineCapacity = CodeHookPlan::kMaxBytes;
    const size_t needed = copier.JumpLength(targetAddress, replacement);
    if (maxCovered > sizeof plan->entry)
        maxCovered = sizeof plan->entry;

    // Measure whole instructions until the entry jump fits.
    size_t covered = 0;
    while (covered < needed) {
        X86Instruction insn;
        if (!copier.Measure(target + covered, avail - covered, targetAddress + covered, &insn))
            return false;
        covered += insn.length;
        if (insn.EndsFlow())
            break;
    }
    if (covered < needed || covered > maxCovered)
        return false;

    // Move them, one at a time, then jump back behind them.
    size_t moved = 0;
    for (size_t at = 0; at < covered;) {
        X86Instruction insn;
        const size_t n = copier.Copy(target + at, avail - at, targetAddress + at, plan->trampoline + moved,
                                     trampolineCapacity - moved, trampolineAddress + moved, &insn);
        if (!n)
            return false;
        // A branch into the covered bytes would land inside the entry jump.
        if (insn.relSize && insn.target - targetAddress < covered)
            return false;
        at += insn.length;
        moved += n;
    }
    const size_t back = copier.WriteJump(plan->trampoline + moved, trampolineCapacity - moved,
                                         trampolineAddress + moved, targetAddress + covered);
    if (!back)
        return false;
    plan->movedLength = moved;
    plan->trampolineLength = moved + back;

    // Entry jump, the rest of the covered bytes filled with int3.
    const size_t jump = copier.WriteJump(plan->entry, sizeof plan->entry, targetAddress, replacement);
    if (!jump)
        return false;
    for (size_t i = jump; i < covered; ++i)
        plan->entry[i] = 0xCC;
    plan->covered = covered;
    return true;
}
