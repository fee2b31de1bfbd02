#include "skin/skinners/controls/skin_animate.h"

#include <commctrl.h>
#include <vfw.h>

#include <algorithm>
#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/controls/skin_static.h"

namespace {

SkinWindowObject* MakeAnimate(uint32_t type, SkinWindowObject* parent) { return new SkinAnimate(parent, type); }
SkinnerRegistrar g_animate(kSkinAnimate, &MakeAnimate);

static_assert(sizeof(AVIFILEINFOA) == 108, "AVIFILEINFO is 108 bytes");

}  // namespace

// ---------------------------------------------------------------------------
// AviLibrary

struct AviLibrary::Entries {
    HDRAWDIB(VFWAPI* drawDibOpen)();
    BOOL(VFWAPI* drawDibDraw)(HDRAWDIB, HDC, int, int, int, int, LPBITMAPINFOHEADER, LPVOID, int, int, int, int,
                              UINT);
    BOOL(VFWAPI* drawDibClose)(HDRAWDIB);  // optional: frees each frame's DrawDib
    void(STDAPICALLTYPE* fileInit)();
    void(STDAPICALLTYPE* fileExit)();
    HRESULT(STDAPICALLTYPE* fileGetStream)(PAVIFILE, PAVISTREAM*, DWORD, LONG);
    PGETFRAME(STDAPICALLTYPE* getFrameOpen)(PAVISTREAM, LPBITMAPINFOHEADER);
    LPVOID(STDAPICALLTYPE* getFrame)(PGETFRAME, LONG);
    HRESULT(STDAPICALLTYPE* getFrameClose)(PGETFRAME);
    LONG(STDAPICALLTYPE* streamStart)(PAVISTREAM);
    ULONG(STDAPICALLTYPE* fileRelease)(PAVIFILE);
    ULONG(STDAPICALLTYPE* streamRelease)(PAVISTREAM);  // optional: the stream's own reference
    HRESULT(STDAPICALLTYPE* readFormat)(PAVISTREAM, LONG, LPVOID, LONG*);
    LONG(STDAPICALLTYPE* streamLength)(PAVISTREAM);
    HRESULT(STDAPICALLTYPE* fileOpen)(PAVIFILE*, LPCSTR, UINT, LPCLSID);
    HRESULT(STDAPICALLTYPE* fileInfo)(PAVIFILE, LPAVIFILEINFOA, LONG);
};

template <typename Fn>
Fn AviLibrary::Entry(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

AviLibrary::AviLibrary() : fn_(new Entries())
{
    avifil_ = LoadLibraryA("avifil32.dll");
    msvfw_ = LoadLibraryA("msvfw32.dll");
    Entries& f = *fn_;
    f.drawDibOpen = Entry<decltype(f.drawDibOpen)>(msvfw_, "DrawDibOpen");
    f.drawDibDraw = Entry<decltype(f.drawDibDraw)>(msvfw_, "DrawDibDraw");
    f.drawDibClose = Entry<decltype(f.drawDibClose)>(msvfw_, "DrawDibClose");
    f.fileInit = Entry<decltype(f.fileInit)>(avifil_, "AVIFileInit");
    f.fileExit = Entry<decltype(f.fileExit)>(avifil_, "AVIFileExit");
    f.fileGetStream = Entry<decltype(f.fileGetStream)>(avifil_, "AVIFileGetStream");
    f.getFrameOpen = Entry<decltype(f.getFrameOpen)>(avifil_, "AVIStreamGetFrameOpen");
    f.getFrame = Entry<decltype(f.getFrame)>(avifil_, "AVIStreamGetFrame");
    f.getFrameClose = Entry<decltype(f.getFrameClose)>(avifil_, "AVIStreamGetFrameClose");
    f.streamStart = Entry<decltype(f.streamStart)>(avifil_, "AVIStreamStart");
    f.fileRelease = Entry<decltype(f.fileRelease)>(avifil_, "AVIFileRelease");
    f.streamRelease = Entry<decltype(f.streamRelease)>(avifil_, "AVIStreamRelease");
    f.readFormat = Entry<decltype(f.readFormat)>(avifil_, "AVIStreamReadFormat");
    f.streamLength = Entry<decltype(f.streamLength)>(avifil_, "AVIStreamLength");
    f.fileOpen = Entry<decltype(f.fileOpen)>(avifil_, "AVIFileOpenA");
    f.fileInfo = Entry<decltype(f.fileInfo)>(avifil_, "AVIFileInfoA");
    if (f.fileInit) {
        f.fileInit();
        initialised_ = true;
    }
}

AviLibrary::~AviLibrary()
{
    Close();
    if (initialised_ && fn_->fileExit)
        fn_->fileExit();
    if (avifil_)
        FreeLibrary(avifil_);
    if (msvfw_)
        FreeLibrary(msvfw_);
    delete fn_;
}

bool AviLibrary::IsComplete() const
{
    const Entries& f = *fn_;
    return avifil_ && msvfw_ && f.drawDibOpen && f.drawDibDraw && f.fileInit && f.fileExit && f.fileGetStream &&
           f.getFrameOpen && f.getFrame && f.getFrameClose && f.streamStart && f.fileRelease && f.readFormat &&
           f.streamLength && f.fileOpen && f.fileInfo;
}

bool AviLibrary::Open(const char* path)
{
    Close();
    if (!IsComplete() || !path)
        return false;
    PAVIFILE file = nullptr;
    if (fn_->fileOpen(&file, path, OF_READ, nullptr) != 0 || !file)
        return false;
    AVIFILEINFOA info = {};
    PAVISTREAM stream = nullptr;
    if (fn_->fileInfo(file, &info, sizeof info) != 0 ||
        fn_->fileGetStream(file, &stream, streamtypeVIDEO, 0) != 0 || !stream) {
        fn_->fileRelease(file);
        return false;
    }
    file_ = file;
    stream_ = stream;
    rate_ = info.dwRate;
    scale_ = info.dwScale;
    width_ = int(info.dwWidth);
    height_ = int(info.dwHeight);
    return true;
}

void AviLibrary::Close()
{
    if (stream_ && fn_->streamRelease)
        fn_->streamRelease(static_cast<PAVISTREAM>(stream_));
    if (file_)
        fn_->fileRelease(static_cast<PAVIFILE>(file_));
    file_ = stream_ = nullptr;
    if (!deleteOnClose_.empty()) {
        DeleteFileA(deleteOnClose_.c_str());
        deleteOnClose_.clear();
    }
    width_ = height_ = 0;
    rate_ = scale_ = 0;
}

int AviLibrary::Length() { return stream_ ? int(fn_->streamLength(static_cast<PAVISTREAM>(stream_))) : 0; }

uint32_t AviLibrary::FrameTime() const { return AnimateFrameTime(rate_, scale_); }

bool AviLibrary::DrawFrame(int n, HDC hdc)
{
    if (!stream_ || width_ <= 0 || height_ <= 0)
        return false;
    auto* stream = static_cast<PAVISTREAM>(stream_);
    unsigned char format[1024] = {};
    LONG size = sizeof format;
    if (fn_->readFormat(stream, 0, format, &size) != 0)
        return false;
    PGETFRAME frames = fn_->getFrameOpen(stream, nullptr);
    if (!frames)
        return false;
    bool drawn = false;
    auto* header = static_cast<LPBITMAPINFOHEADER>(fn_->getFrame(frames, n + fn_->streamStart(stream)));
    if (header && header->biSize >= sizeof(BITMAPINFOHEADER)) {
        DWORD colours = header->biClrUsed;
        if (!colours && header->biBitCount <= 8)
            colours = 1u << header->biBitCount;
        auto* bits = reinterpret_cast<unsigned char*>(header) + header->biSize + colours * sizeof(RGBQUAD);
        if (header->biCompression == BI_BITFIELDS)
            bits += 3 * sizeof(DWORD);
        const LONG rows = header->biHeight < 0 ? -header->biHeight : header->biHeight;
        if (HDRAWDIB dib = fn_->drawDibOpen()) {
            drawn = fn_->drawDibDraw(dib, hdc, 0, 0, width_, height_, header, bits, 0, 0, header->biWidth, rows, 0) != 0;
            if (fn_->drawDibClose)
                fn_->drawDibClose(dib);
        }
        // Some DrawDib versions refuse top-down frames; GDI draws them.
        if (!drawn)
            drawn = StretchDIBits(hdc, 0, 0, width_, height_, 0, 0, header->biWidth, rows, bits,
                                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS, SRCCOPY) > 0;
    }
    fn_->getFrameClose(frames);
    return drawn;
}

// ---------------------------------------------------------------------------
// SkinAnimate

SkinAnimate::SkinAnimate(SkinWindowObject* parent, uint32_t kind)
    : SkinWindowBase(parent, kind), stopEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
}

SkinAnimate::~SkinAnimate()
{
    if (stopEvent_)
        SetEvent(stopEvent_);
    if (thread_) {
        // The thread reads this object: it must be gone first.
        WaitForThread(INFINITE);
        CloseHandle(thread_);
    }
    if (stopEvent_)
        CloseHandle(stopEvent_);
}

BOOL SkinAnimate::Attach(HWND window)
{
    if (!window || !avi_.IsComplete() || !stopEvent_)
        return FALSE;
    style_ = GetWindowLongA(window, GWL_STYLE);
    controlId_ = GetDlgCtrlID(window);
    return SkinWindowBase::Attach(window);
}

bool SkinAnimate::Notify(WORD code)
{
    HWND window = window_;
    if (HWND parent = GetParent(window))
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(controlId_, code), reinterpret_cast<LPARAM>(window));
    return StillSkinnedBy(window, this);
}

LRESULT SkinAnimate::Open(HINSTANCE instance, const char* name)
{
    if (!instance)
        instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    if (!Stop())
        return 0;
    avi_.Close();
    openName_.clear();
    openId_ = 0;
    if (!name)
        return 1;
    bool opened = !IS_INTRESOURCE(name) && avi_.Open(name);
    if (!opened) {
        // A resource (or a name that is none of the files): through a
        // temporary file that goes again whether it opened or not.
        char path[MAX_PATH] = {};
        if (!SkinGdiUtil::MakeTempFileName(path, sizeof path, "SM$$TEMP.AVI", "C:", "avi"))
            return 0;
        const bool written = SkinGdiUtil::ResourceToFile(path, instance, name, "AVI") != 0;
        opened = written && avi_.Open(path);
        // Deleted now; a clip that keeps it open has it deleted when it closes.
        if (!DeleteFileA(path) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            avi_.DeleteOnClose(path);
        if (!opened)
            return 0;
    }
    openInstance_ = instance;
    if (IS_INTRESOURCE(name))
        openId_ = WORD(reinterpret_cast<UINT_PTR>(name));
    else
        openName_ = name;
    cursor_ = AnimateCursor();
    if (!(style_ & ACS_CENTER))
        SetWindowPos(window_, nullptr, 0, 0, avi_.Width(), avi_.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
    if (style_ & ACS_AUTOPLAY)
        Start();
    return 1;
}

LRESULT SkinAnimate::Play(int repeat, uint32_t range)
{
    if (!Stop())
        return 0;
    AnimateSetRange(&cursor_, range, repeat, avi_.Length());
    Start();
    return 1;
}

void SkinAnimate::Start()
{
    if (playing_ || !avi_.IsOpen())
        return;
    ResetEvent(stopEvent_);
    running_ = true;
    thread_ = CreateThread(nullptr, 0, &SkinAnimate::PlaybackThread, this, 0, nullptr);
    if (!thread_) {
        running_ = false;
        return;
    }
    playing_ = true;
    Notify(ACN_START);
}

void SkinAnimate::WaitForThread(DWORD timeoutMs)
{
    const DWORD until = GetTickCount() + timeoutMs;
    for (;;) {
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            const LONG remaining = LONG(until - GetTickCount());
            if (remaining <= 0)
                return;
            left = DWORD(remaining);
        }
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread_, FALSE, left, QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool SkinAnimate::Stop()
{
    if (!playing_)
        return true;
    playing_ = false;
    SetEvent(stopEvent_);
    WaitForThread(1000);
    if (WaitForSingleObject(thread_, 0) != WAIT_OBJECT_0)
        WaitForThread(INFINITE);  // it is using this object still
    CloseHandle(thread_);
    thread_ = nullptr;
    return Notify(ACN_STOP);
}

void SkinAnimate::Detach()
{
    // The thread paints into the window: it ends before the window is let go.
    const bool wasPlaying = playing_ && running_;
    const AnimateCursor played = cursor_;
    Stop();
    const bool hadClip = avi_.IsOpen();
    avi_.Close();
    HWND window = window_;
    SkinWindowBase::Detach();
    if (!hadClip || !IsWindow(window))
        return;
    // The control takes the clip over: unskinned, it still plays it and
    // still tells its parent when it starts and stops.
    const char* name = openName_.empty() ? MAKEINTRESOURCEA(openId_) : openName_.c_str();
    if (!SendMessageA(window, ACM_OPENA, reinterpret_cast<WPARAM>(openInstance_), reinterpret_cast<LPARAM>(name)) ||
        !wasPlaying)
        return;
    const int repeat = played.repeat == -1 ? -1 : std::max(played.repeat - played.passes, 1);
    SendMessageA(window, ACM_PLAY, WPARAM(repeat), MAKELONG(WORD(played.first), WORD(played.last)));
}

DWORD WINAPI SkinAnimate::PlaybackThread(void* self)
{
    static_cast<SkinAnimate*>(self)->PlaybackLoop();
    return 0;
}

void SkinAnimate::PlaybackLoop()
{
    const DWORD frameTime = avi_.FrameTime();
    const int length = avi_.Length();
    for (;;) {
        if (WaitForSingleObject(stopEvent_, frameTime) == WAIT_OBJECT_0)
            return;
        if (HDC dc = GetDC(window_)) {
            PaintFrame(cursor_.current, dc);
            ReleaseDC(window_, dc);
        }
        if (!AnimateAdvance(&cursor_, length))
            break;
    }
    running_ = false;
}

void SkinAnimate::PaintFrame(int n, HDC hdc)
{
    RECT client;
    GetClientRect(window_, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    SkinMemDC picture(hdc, client.right, client.bottom);
    auto* data = dynamic_cast<SkinAnimateData*>(GetSkinData());
    const bool transparent = (style_ & ACS_TRANSPARENT) != 0;
    if (transparent)
        SkinPaintOwnerBackground(picture, GetBackgroundOwner(), window_, client);
    else if (data)
        SkinGdiUtil::DrawImageRef(picture, client, data->backgroundImage, data->backColor, TRUE);
    else
        SkinGdiUtil::FillSolidRect(picture, client, GetSysColor(COLOR_BTNFACE));
    if (avi_.IsOpen()) {
        SkinMemDC frame(hdc, avi_.Width(), avi_.Height());
        if (avi_.DrawFrame(n, frame)) {
            const AnimatePlacement at = PlaceAnimateFrame(avi_.Width(), avi_.Height(), client.right, client.bottom,
                                                          (style_ & ACS_CENTER) != 0);
            const int w = at.dest.Width(), h = at.dest.Height();
            if (transparent)
                SkinGdiUtil::TransparentStretchBlit(picture, at.dest.left, at.dest.top, w, h, frame, at.sourceX,
                                                    at.sourceY, w, h, GetPixel(frame, 0, 0));
            else
                BitBlt(picture, at.dest.left, at.dest.top, w, h, frame, at.sourceX, at.sourceY, SRCCOPY);
        }
    }
    BitBlt(hdc, 0, 0, client.right, client.bottom, picture, 0, 0, SRCCOPY);
}

bool DrawControlBorder(HWND window, const SkinLayoutImage& image, COLORREF fallback)
{
    const LONG ex = GetWindowLongA(window, GWL_EXSTYLE);
    int cx = 0, cy = 0;
    if (ex & WS_EX_CLIENTEDGE) {
        cx += GetSystemMetrics(SM_CXEDGE);
        cy += GetSystemMetrics(SM_CYEDGE);
    }
    if (ex & WS_EX_DLGMODALFRAME) {
        cx += GetSystemMetrics(SM_CXDLGFRAME);
        cy += GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (ex & WS_EX_STATICEDGE) {
        ++cx;
        ++cy;
    }
    if ((cx == 0 && cy == 0) || IsLayoutImageEmpty(image))
        return false;
    HDC dc = GetWindowDC(window);
    if (!dc)
        return false;
    RECT bounds;
    ::GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    ExcludeClipRect(dc, cx, cy, bounds.right - cx, bounds.bottom - cy);
    const RECT borders = {cx, cy, cx, cy};
    SkinGdiUtil::DrawLayoutBorderSized(dc, bounds, borders, image, fallback, FALSE);
    ReleaseDC(window, dc);
    return true;
}

void SkinAnimate::DrawBorder()
{
    if (auto* data = dynamic_cast<SkinAnimateData*>(GetSkinData()))
        DrawControlBorder(window_, data->background, data->backColor);
}

LRESULT SkinAnimate::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case ACM_OPENA:
        return Open(reinterpret_cast<HINSTANCE>(wParam), reinterpret_cast<const char*>(lParam));
    case ACM_PLAY:
        return Play(int(wParam), uint32_t(lParam));
    case ACM_STOP:
        Stop();
        return 1;
    case WM_DESTROY:
        Stop();
        avi_.Close();
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    case WM_PAINT: {
        if (running_)
            return CallPrevious(message, wParam, lParam);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        if (dc)
            PaintFrame(cursor_.current, dc);
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_UPDATEUISTATE:
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window_, &client);
        SkinPaintOwnerBackground(reinterpret_cast<HDC>(wParam), GetBackgroundOwner(), window_, client);
        return 1;
    }
    case WM_NCPAINT:
        DrawBorder();
        return 0;
    default:
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    }
}
