// InstructionCopier: measures and moves single x86 instructions, for the
// code hooks of the in-process interception (api_hook.h). 32-bit code and
// x86-64 code (REX prefixes, RIP-relative operands) are both understood.
//
// Moving an instruction keeps where it goes: relative branches and
// RIP-relative memory operands are rewritten for the new place, and a short
// branch whose target falls out of its 8-bit reach is widened to its 32-bit
// form (in 64-bit code, to an absolute jump when even 32 bits do not reach).
// Addresses are plain numbers, so the copier works on any buffer (and is
// tested natively); every read is bounded by the bytes given.
#ifndef QUORBEL_SKIN_CORE_X86_INSTRUCTION_H
#define QUORBEL_SKIN_CORE_X86_INSTRUCTION_H

#include <cstddef>
#include <cstdint>

enum class X86Mode : uint8_t { k32, k64 };

// The longest encoding the architecture allows.
constexpr size_t kX86MaxInstruction = 15;
// The most bytes one moved instruction can take at its new place (a
// conditional branch turned into a jump over an absolute 64-bit jump).
constexpr size_t kX86MaxMovedInstruction = 24;

struct X86Instruction {
    enum Kind : uint8_t {
        kPlain,         // falls through to the next instruction
        kReturn,        // ret, retf, iret
        kJump,          // jmp rel8 / rel32
        kCall,          // call rel32
        kCondJump,      // jcc rel8 / rel32
        kLoop,          // loop, loope, loopne, jcxz (rel8 only)
        kIndirectJump,  // jmp through a register or memory (FF /4, /5)
        kIndirectCall,  // call through a register or memory (FF /2, /3)
        kFarJump,       // jmp ptr16:32
    };

    uint8_t length = 0;         // bytes; 0 when the bytes are no instruction
    uint8_t prefixLength = 0;   // legacy and REX prefixes before the opcode
    uint8_t opcodeLength = 0;   // 1, 2 (0F xx) or 3 (0F 38 xx, 0F 3A xx)
    uint8_t relOffset = 0;      // where a relative branch operand starts; 0 = none
    uint8_t relSize = 0;        // its width: 1, 2 or 4
    uint8_t ripOffset = 0;      // where a RIP-relative disp32 starts (64-bit); 0 = none
    Kind kind = kPlain;
    uint64_t target = 0;        // destination of a relative branch
    // Address of the pointer an indirect jump or call reads (FF 15 / FF 25,
    // absolute in 32-bit code, RIP-relative in 64-bit code); 0 otherwise.
    uint64_t indirectSlot = 0;

    // Code after this instruction is not reached from it.
    bool EndsFlow() const
    {
        return kind == kReturn || kind == kJump || kind == kIndirectJump || kind == kFarJump;
    }
    // The target is only known at run time.
    bool DynamicTarget() const { return kind == kIndirectJump || kind == kIndirectCall; }
};

class InstructionCopier {
public:
    explicit InstructionCopier(X86Mode mode) : mode_(mode) {}

    X86Mode Mode() const { return mode_; }

    // Decodes the instruction at `code` (avail readable bytes) that runs at
    // `address`. False, with length 0, for bytes that are no instruction
    // or that run past avail.
    bool Measure(const uint8_t* code, size_t avail, uint64_t address, X86Instruction* out) const;

    // Copies the instruction into dest (capacity bytes) that will run at
    // destAddress, keeping its branch and memory targets. Returns the bytes
    // written (at most kX86MaxMovedInstruction; may differ from the source
    // length when a branch was widened), 0 when it cannot be placed there.
    size_t Copy(const uint8_t* code, size_t avail, uint64_t address, uint8_t* dest, size_t capacity,
                uint64_t destAddress, X86Instruction* info = nullptr) const;

    // Writes a jump at `at` (running there) to `to`: 5 bytes (E9 rel32) when
    // it reaches, else, in 64-bit code, 14 bytes (FF 25 0, absolute
    // address). Returns the bytes written, 0 when capacity is too small.
    size_t WriteJump(uint8_t* at, size_t capacity, uint64_t atAddress, uint64_t to) const;
    // Bytes WriteJump needs from `from` to `to`.
    size_t JumpLength(uint64_t from, uint64_t to) const;
    // Destination of a jump written by WriteJump (or any E9 / FF 25 jump)
    // at `code`; false when the bytes hold no such jump.
    bool ReadJump(const uint8_t* code, size_t avail, uint64_t address, uint64_t* to) const;

private:
    // Whether a signed displacement from `from` to `to` fits 32 bits (always
    // in 32-bit code, where addresses wrap).
    bool Reaches32(uint64_t from, uint64_t to) const;
    // The 14-byte 64-bit form of WriteJump, whatever the distance: an
    // opposite-condition branch skips exactly these bytes.
    size_t WriteAbsoluteJump(uint8_t* at, size_t capacity, uint64_t to) const;

    X86Mode mode_;
};

// A code hook worked out before any byte is written: the instructions at
// the start of a target that a jump to the replacement will cover, their
// moved copy followed by a jump back (the trampoline's new body), and the
// bytes that go over the target's start.
struct CodeHookPlan {
    static constexpr size_t kMaxBytes = 96;
    size_t covered = 0;            // target bytes replaced (whole instructions)
    uint8_t entry[32] = {};        // jump to the replacement, then 0xCC up to covered
    size_t trampolineLength = 0;   // moved code plus the jump back
    size_t movedLength = 0;        // where the jump back starts
    uint8_t trampoline[kMaxBytes] = {};
};

// Plans a hook of the code at `target` (avail readable bytes, running at
// targetAddress) that sends calls to `replacement` and keeps the original
// reachable through a trampoline body of at most trampolineCapacity bytes
// at trampolineAddress. Instructions are measured until the entry jump
// fits; a return or jump met first ends the measuring. False when fewer
// bytes than the jump needs, or more than maxCovered, would be covered,
// when an instruction cannot be moved to the trampoline, or when a moved
// branch goes into the covered bytes (it would land inside the entry jump).
bool PlanCodeHook(const InstructionCopier& copier, const uint8_t* target, size_t avail,
                  uint64_t targetAddress, uint64_t replacement, uint64_t trampolineAddress,
                  size_t trampolineCapacity, size_t maxCovered, CodeHookPlan* plan);

#endif
