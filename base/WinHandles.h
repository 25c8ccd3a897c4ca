#pragma once
// Owners for the Windows handles the program creates: each frees its handle
// in its destructor, so a handle is released also when an error unwinds.
// The handle owners move and never copy: one owner, one release. The guards
// and DCs below are tied to one scope and neither move nor copy.
#include <windows.h>

#include "base/PlatformApi.h"

// One owner for every kind of handle: `TTraits` says what an empty handle
// is and how one is freed. Move-only: a move hands the handle over (freeing
// the one the target held), a copy does not compile, so each handle has
// exactly one release.
template <class TTraits>
class TOwner {
public:
    using THandleType = typename TTraits::THandleType;

    TOwner() = default;
    explicit TOwner(THandleType handle) : handle_(handle) {}
    ~TOwner() { Reset(); }
    TOwner(TOwner&& other) noexcept : handle_(other.Detach()) {}
    TOwner& operator=(TOwner&& other) noexcept
    {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }
    TOwner(const TOwner&) = delete;
    TOwner& operator=(const TOwner&) = delete;

    THandleType Get() const { return handle_; }
    bool Valid() const { return TTraits::Valid(handle_); }
    // Frees the handle held and takes `handle` instead.
    void Reset(THandleType handle = TTraits::Empty())
    {
        if (TTraits::Valid(handle_))
            TTraits::Free(handle_);
        handle_ = handle;
    }
    // Gives the handle up without freeing it.
    THandleType Detach()
    {
        THandleType handle = handle_;
        handle_ = TTraits::Empty();
        return handle;
    }

private:
    THandleType handle_ = TTraits::Empty();
};

// Handles that are empty when null, freed by `free`.
template <class H, class TFree>
struct TNullEmptyTraits {
    using THandleType = H;
    static H Empty() { return nullptr; }
    static bool Valid(H handle) { return handle != nullptr; }
    static void Free(H handle) { TFree::Free(handle); }
};

struct TCloseHandle {
    static void Free(HANDLE handle) { CloseHandle(handle); }
};
// Kernel objects; CreateFile gives INVALID_HANDLE_VALUE for none.
struct TKernelHandleTraits : TNullEmptyTraits<HANDLE, TCloseHandle> {
    static bool Valid(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }
};
using THandle = TOwner<TKernelHandleTraits>;

// A GDI object this code created; deleted after every TSelectGuard declared
// later has put it out of its DC.
struct TDeleteObject {
    static void Free(HGDIOBJ object) { DeleteObject(object); }
};
using TGdiObject = TOwner<TNullEmptyTraits<HGDIOBJ, TDeleteObject>>;
using TFontHandle = TOwner<TNullEmptyTraits<HFONT, TDeleteObject>>;
using TBrushHandle = TOwner<TNullEmptyTraits<HBRUSH, TDeleteObject>>;
using TBitmapHandle = TOwner<TNullEmptyTraits<HBITMAP, TDeleteObject>>;

struct TDestroyIcon {
    static void Free(HICON icon) { DestroyIcon(icon); }
};
using TIconHandle = TOwner<TNullEmptyTraits<HICON, TDestroyIcon>>;

struct TDeleteEnhMetaFile {
    static void Free(HENHMETAFILE metafile) { DeleteEnhMetaFile(metafile); }
};
using TEnhMetaFileHandle = TOwner<TNullEmptyTraits<HENHMETAFILE, TDeleteEnhMetaFile>>;

struct TGlobalFree {
    static void Free(HGLOBAL memory) { GlobalFree(memory); }
};
using TGlobalMemory = TOwner<TNullEmptyTraits<HGLOBAL, TGlobalFree>>;

// Closed through PlatformApi, so that a test's stand-in sees every close.
struct TRegCloseKey {
    static void Free(HKEY key) { PlatformApi.RegCloseKey(key); }
};
using TRegKey = TOwner<TNullEmptyTraits<HKEY, TRegCloseKey>>;

// Selects an object into a DC and puts the previous one back, so that an
// object is never deleted while still selected.
class TSelectGuard {
public:
    TSelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~TSelectGuard()
    {
        if (old_)
            SelectObject(dc_, old_);
    }
    TSelectGuard(const TSelectGuard&) = delete;
    TSelectGuard& operator=(const TSelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Background mode and text colour as they were before painting.
class TTextStateGuard {
public:
    TTextStateGuard(HDC dc, int bkMode, COLORREF textColor)
        : dc_(dc), oldMode_(SetBkMode(dc, bkMode)), oldColor_(SetTextColor(dc, textColor))
    {
    }
    ~TTextStateGuard()
    {
        SetTextColor(dc_, oldColor_);
        SetBkMode(dc_, oldMode_);
    }
    TTextStateGuard(const TTextStateGuard&) = delete;
    TTextStateGuard& operator=(const TTextStateGuard&) = delete;

private:
    HDC dc_;
    int oldMode_;
    COLORREF oldColor_;
};

// Points `slot` at `value` for its own lifetime.
class TScopedDc {
public:
    TScopedDc(HDC& slot, HDC value) : slot_(slot) { slot_ = value; }
    ~TScopedDc() { slot_ = nullptr; }
    TScopedDc(const TScopedDc&) = delete;
    TScopedDc& operator=(const TScopedDc&) = delete;

private:
    HDC& slot_;
};

// A window's DC (the screen's for a null window), released at the end.
class TWindowDc {
public:
    explicit TWindowDc(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
    TWindowDc(HWND wnd, DWORD dcxFlags) : wnd_(wnd), dc_(GetDCEx(wnd, nullptr, dcxFlags)) {}
    ~TWindowDc()
    {
        if (dc_)
            ReleaseDC(wnd_, dc_);
    }
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

class TPaintDc {
public:
    explicit TPaintDc(HWND wnd) : wnd_(wnd), dc_(BeginPaint(wnd, &ps_)) {}
    ~TPaintDc() { EndPaint(wnd_, &ps_); }
    TPaintDc(const TPaintDc&) = delete;
    TPaintDc& operator=(const TPaintDc&) = delete;
    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Info() const { return ps_; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// A memory DC like `like` with one object selected, put back before the DC
// is deleted.
class TMemoryDC {
public:
    TMemoryDC(HDC like, HGDIOBJ object) : dc_(CreateCompatibleDC(like))
    {
        if (dc_)
            old_ = SelectObject(dc_, object);
    }
    ~TMemoryDC()
    {
        if (!dc_)
            return;
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};
