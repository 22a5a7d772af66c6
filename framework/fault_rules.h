#pragma once
// Decisions about hardware faults: which exception codes are faults of the processor or
// of memory (the ones the decoder's guard contains and the ones that end the program
// anywhere else; the values are the system's), which modules are the platform's imaging
// code or the runtime that code calls, and which calls of the program's handlers an
// exception has abandoned.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// An access violation, a paging error, a bad instruction, an integer or floating-point
// trap: the code that ran did not mean to stop. Not a stack overflow, which leaves no
// room to go on, nor a guard page, a breakpoint or a single step, which others handle.
constexpr bool IsHardwareFault(unsigned long code)
{
    switch (code) {
    case 0xC0000005UL:  // access violation
    case 0xC0000006UL:  // in-page error
    case 0xC000008CUL:  // array bounds exceeded
    case 0x80000002UL:  // datatype misalignment
    case 0xC000001DUL:  // illegal instruction
    case 0xC0000096UL:  // privileged instruction
    case 0xC0000094UL:  // integer divide by zero
    case 0xC0000095UL:  // integer overflow
    case 0xC000008DUL:  // float: denormal operand
    case 0xC000008EUL:  // float: divide by zero
    case 0xC000008FUL:  // float: inexact result
    case 0xC0000090UL:  // float: invalid operation
    case 0xC0000091UL:  // float: overflow
    case 0xC0000092UL:  // float: stack check
    case 0xC0000093UL:  // float: underflow
    case 0xC00002B4UL:  // float: multiple faults (SSE)
    case 0xC00002B5UL:  // float: multiple traps (SSE)
        return true;
    default:
        return false;
    }
}

// Whether a module, by the name it gives itself in its export directory ("gdiplus.dll"),
// is the platform's imaging code: GDI+ and the codec modules it or the Windows Imaging
// Component load to decode. Never the program, the C runtime or the system's core.
bool IsImagingModule(std::string_view exportName);

// Whether a module is the C runtime or the system's core (ntdll, kernelbase, kernel32), by
// the name it gives itself: code that runs on behalf of whoever called it, so a fault there
// is judged by the first caller outside them. The program's own runtime, linked into it, is
// never one of these.
bool IsRuntimeModule(std::string_view exportName);

// Whose code one frame of a faulting thread's stack runs.
enum class FrameCode { Imaging, Runtime, Other };

// How far the guard walks a faulting stack looking for the caller of the runtime: further
// than any decoder nests runtime and core calls.
constexpr int kMaxFaultFrames = 64;

// Decides a fault from its stack's frames, innermost first: the first one that is not the
// runtime's or the core's names the code it belongs to. A walk that ends (nullopt, as
// frameAt answers where the stack can't be followed) or passes kMaxFaultFrames decides
// nothing: the fault is not the imaging code's.
template <class FrameAt>
bool IsImagingFault(FrameAt frameAt)
{
    for (int depth = 0; depth < kMaxFaultFrames; ++depth) {
        const std::optional<FrameCode> code = frameAt(depth);
        if (!code || *code != FrameCode::Runtime)
            return code == FrameCode::Imaging;
    }
    return false;
}

// Whether an exception reports something gone wrong (warning or error severity). The C++
// runtime's own throws and the debugger's notices (debug text, thread names) don't, so the
// last such exception on a thread is the one a catch-all there is looking at.
constexpr bool ReportsFailure(unsigned long code)
{
    return (code & 0x80000000UL) != 0;
}

// How many of the handler calls in progress on a thread (their stack addresses, outermost
// first) lie at or below `here`. The stack grows down and a running call lies above every
// call it makes, so from a new call these are calls that never returned; from a call that
// is returning, they are it and the calls it made that never returned.
std::size_t CallsAtOrBelow(const std::vector<std::uintptr_t>& open, std::uintptr_t here);
