#pragma once
// A picture shown in the window: bitmap, icon, enhanced metafile or metafile,
// chosen by the file's extension. Every file is checked for a sound structure
// before it reaches the platform's decoders.
#include <windows.h>

#include <memory>
#include <string>

class TPicture {
public:
    TPicture();
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Loads `path` by the picture-loading rule; raises EMarquillError with the
    // rule's message on failure, and then this picture keeps what it had.
    void LoadFromFile(const std::string& path);
    // The two halves of LoadFromFile, for a caller that reads the file
    // elsewhere than it decodes it (with the WOW64 redirection off): the
    // bytes of `path` as LoadFromBytes takes them, and the picture made from
    // them. Each raises the rule's message for its half.
    static std::string ReadFile(const std::string& path);
    void LoadFromBytes(const std::string& path, std::string bytes);
    void Clear();

    bool Empty() const;
    int Width() const;
    int Height() const;

    // Draws at the picture's own size with its top-left corner at (x, y).
    void Draw(HDC dc, int x, int y) const;
    // Draws scaled into `dest` (the caller keeps the proportions).
    void StretchDraw(HDC dc, const RECT& dest) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};
