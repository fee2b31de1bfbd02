// SkinAnimate: takes the "SysAnimate32" control's playback over - it opens
// the clip itself through the Video for Windows libraries (looked up at run
// time), plays it on a thread of its own and paints each frame over the
// skin's background; the parent hears ACN_START and ACN_STOP as from the
// control. Without the libraries the control stays unskinned. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_ANIMATE_H
#define QUORBEL_SKIN_SKINNERS_SKIN_ANIMATE_H

#include <windows.h>

#include <atomic>
#include <string>

#include "skin/skinners/controls/skin_animate_geometry.h"
#include "skin/skinners/controls/skin_control_base.h"

struct SkinLayoutImage;

// The border of a control's extended styles (client edge, modal frame,
// static edge) drawn from image into the window DC around the client
// area; false, nothing drawn, when the control has no such border or the
// image is empty.
bool DrawControlBorder(HWND window, const SkinLayoutImage& image, COLORREF fallback);

// avifil32 and msvfw32, loaded for one skinner, and the clip open in it.
class AviLibrary {
public:
    AviLibrary();
    ~AviLibrary();
    AviLibrary(const AviLibrary&) = delete;
    AviLibrary& operator=(const AviLibrary&) = delete;

    // Both libraries and every entry point there.
    bool IsComplete() const;
    // Opens the file's first video stream; false (nothing open) on failure.
    bool Open(const char* path);
    void Close();
    bool IsOpen() const { return stream_ != nullptr; }
    // A file to delete when the clip closes (the open clip keeps it in use).
    void DeleteOnClose(const char* path) { deleteOnClose_ = path ? path : ""; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Frames in the video stream.
    int Length();
    // The clip's frame time (rate and scale of the file).
    uint32_t FrameTime() const;
    // Decodes frame n into hdc at (0, 0) in the frame size; false when it
    // could not be decoded.
    bool DrawFrame(int n, HDC hdc);

private:
    template <typename Fn>
    Fn Entry(HMODULE module, const char* name);

    HMODULE avifil_ = nullptr;   // avifil32.dll
    HMODULE msvfw_ = nullptr;    // msvfw32.dll
    void* file_ = nullptr;       // PAVIFILE of the open clip
    void* stream_ = nullptr;     // PAVISTREAM of its video
    uint32_t rate_ = 0;          // AVIFILEINFO dwRate
    uint32_t scale_ = 0;         // AVIFILEINFO dwScale
    int width_ = 0, height_ = 0;  // frame size from AVIFILEINFO
    bool initialised_ = false;   // AVIFileInit was called
    std::string deleteOnClose_;  // temporary copy of a resource clip, or ""
    struct Entries;
    Entries* fn_;                // the entry points (null members when missing)
};

class SkinAnimate : public SkinWindowBase {
public:
    SkinAnimate(SkinWindowObject* parent, uint32_t kind);
    ~SkinAnimate() override;

    // Refused without the Video for Windows libraries.
    BOOL Attach(HWND window) override;
    // Stops the playback thread, then hands the clip (and a running
    // playback) over to the control itself.
    void Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool IsPlaying() const { return playing_; }
    // The thread is still showing frames (it clears this at a finite end).
    bool IsRunning() const { return running_; }
    int CurrentFrame() const { return cursor_.current; }
    // ACM_OPENA, ACM_PLAY, ACM_STOP. The parent hears ACN_STOP from a stop
    // and may destroy the control there: Stop answers false when this
    // object went with it, and Open and Play then answer 0.
    LRESULT Open(HINSTANCE instance, const char* name);
    LRESULT Play(int repeat, uint32_t range);
    bool Stop();

private:
    void Start();
    // Tells the parent; false when this object went meanwhile.
    bool Notify(WORD code);
    // Composes the client picture with frame n and copies it to hdc.
    void PaintFrame(int n, HDC hdc);
    void DrawBorder();
    static DWORD WINAPI PlaybackThread(void* self);
    void PlaybackLoop();
    // Waits for the thread, letting messages sent to this thread through
    // (the frame drawing may ask the background owner for its picture).
    void WaitForThread(DWORD timeoutMs);

    AviLibrary avi_;                  // the libraries and the open clip
    HANDLE stopEvent_;                // auto-reset; ends the playback thread
    HANDLE thread_ = nullptr;         // playback thread while playing
    std::atomic<bool> playing_{false};  // Start was called, Stop not yet
    std::atomic<bool> running_{false};  // cleared by the thread when it ends by itself
    int controlId_ = 0;               // GWL_ID at attach
    LONG style_ = 0;                  // GWL_STYLE at attach
    AnimateCursor cursor_;            // first, last, repeat and current frame
    HINSTANCE openInstance_ = nullptr;  // module of the open clip's resource
    std::string openName_;            // the open clip's file or resource name, or ""
    WORD openId_ = 0;                 // its resource id when opened by number
};

#endif
