#pragma once
// A picture shown in the window: bitmap, icon, enhanced metafile or metafile,
// chosen by the file's extension. Every file is checked for a sound structure
// before it reaches the platform's decoders, and the picture keeps the bytes
// it checked, so that whatever installs it never reads the file again.
#include <windows.h>

#include "picture/PictureCheck.h"

#include <memory>
#include <string>

// A 32-bit DIB section of `width` x `height`, top row first, its pixels at
// `bits` (0x00RRGGBB); null when the platform refuses it.
HBITMAP CreateTopDownDib32(int width, int height, void** bits);

class TPicture {
public:
    TPicture();
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Loads `path` by the picture-loading rule; raises EMarquillError with the
    // rule's message on failure, and then this picture keeps what it had.
    // The file is read once, then loaded as LoadFromBytes does.
    void LoadFromFile(const std::string& path);
    // Loads `bytes` as the picture kind that `pathForKind`'s extension names,
    // by the same rule and with the same messages (the path is not opened).
    void LoadFromBytes(std::string bytes, const std::string& pathForKind);
    // The bytes of `path` as LoadFromFile reads them, for a caller that reads
    // the file elsewhere than it decodes it (with the WOW64 redirection off);
    // raises the rule's message for the read.
    static std::string ReadFile(const std::string& path);
    void Clear();

    bool Empty() const;
    // Loaded from a 0-byte bitmap file, which Windows shows as no picture:
    // empty, yet a file that a copy installs as it is.
    bool IsEmptyBitmap() const { return emptyBitmap_; }
    int Width() const;
    int Height() const;
    TPictureKind Kind() const;  // Unknown when empty
    // The bytes the picture was checked and decoded from; empty when empty.
    const std::string& Bytes() const;
    // The size a conversion draws at: a metafile's at 96 dpi whatever the
    // screen's, so that every session converts it alike; else Width/Height.
    SIZE SizeAt96Dpi() const;

    // Draws at the picture's own size with its top-left corner at (x, y).
    void Draw(HDC dc, int x, int y) const;
    // Draws scaled into `dest` (the caller keeps the proportions).
    void StretchDraw(HDC dc, const RECT& dest) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
    bool emptyBitmap_ = false;
};
