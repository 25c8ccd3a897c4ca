#pragma once
// Owners for the Windows handles the program creates: each frees its handle
// in its destructor, so a handle is released also when an error unwinds.
// Move-free and copy-free on purpose: one owner, one release.
#include <windows.h>

class THandle {
public:
    explicit THandle(HANDLE handle) : handle_(handle) {}
    ~THandle()
    {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// A GDI object this code created; deleted last, after every TSelectGuard
// declared later has put it out of its DC.
class TGdiObject {
public:
    explicit TGdiObject(HGDIOBJ obj) : obj_(obj) {}
    ~TGdiObject()
    {
        if (obj_)
            DeleteObject(obj_);
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    HGDIOBJ Get() const { return obj_; }

private:
    HGDIOBJ obj_;
};

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
