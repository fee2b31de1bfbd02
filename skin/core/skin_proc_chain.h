// A procedure of ours in a window's subclass chain. A subclass put over
// ours later saved ours as its successor: ours then cannot go without
// cutting it out, so it stays and passes every message on to the
// procedure it saved (kept in a window property). Subclassing the window
// again takes ours where it lies, so no message runs through it twice.
#pragma once

#include <windows.h>

class SkinProcChain {
public:
    // `property` names the window property that keeps the procedure
    // under ours while ours lies in the chain.
    constexpr SkinProcChain(WNDPROC ours, const char* property) : ours_(ours), property_(property) {}

    // Ours in the chain (put on top, or found where it stayed); the
    // procedure under it, or null when the window refused (nothing changed).
    WNDPROC Enter(HWND window) const;
    // Ours goes when on top, else it stays as a pass-through.
    void Leave(HWND window) const;
    // What ours does with no object behind it: the message goes on.
    LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    // After the window's last message: the saved procedure is forgotten.
    void Forget(HWND window) const { RemovePropA(window, property_); }

private:
    WNDPROC ours_;
    const char* property_;
};
