#pragma once
// The logo as Windows itself finds and shows it: the file its own reader
// opens for a Logo text (on 64-bit Windows a 64-bit program, which sees the
// real system directory and the 64-bit program folders), and in registry
// mode the bitmap that a picture Windows cannot show there becomes.
#include "base/WideText.h"
#include "oeminfo/OEMFields.h"
#include "oeminfo/StoreTypes.h"

#include <string>

class TPicture;

// The file Windows' reader opens for the Logo text `text`: expanded as that
// reader expands it when `expandable` (under WOW64 %ProgramFiles% and
// %CommonProgramFiles% name the 64-bit folders, as they do for it), and
// made full against the current folder (GetFullPathNameA).
std::string LogoFileAsWindowsReads(const std::string& text, bool expandable);

// Loads `picture` from LogoFileAsWindowsReads(text, expandable), its bytes
// read with the WOW64 redirection off and decoded with it on, and gives the
// text to store for it: the full path, or `text` itself when `expandable`.
// Raises the picture-loading rule's message.
std::string LoadLogoAsWindowsReads(const std::string& text, bool expandable, TPicture& picture);

// The Logo text `text` (as stored) as Windows' reader finds it: the file
// it names (LogoFileAsWindowsReads), whether that exists (the redirection
// off), and whether it loads as LoadLogoAsWindowsReads loads it. A text the
// ANSI code page cannot hold is one the program's picture reader cannot
// open: it does not load, and it is looked for as it stands.
struct TFoundLogo {
    TWideText Path;
    bool Exists = false;
    bool Loads = false;
};
TFoundLogo FindLogoAsWindowsReads(const TWideText& text, bool expandable);

// Whether the Logo text `text` names the store's own LogoFilePath().
bool NamesLogoFile(const std::string& text, bool expandable);

// Whether the store of `mode` writes oemlogo.bmp for `picture`, the picture
// checked for a Logo, and its bytes: the one place that decides between a
// copy and a conversion. Legacy mode always writes it: a plain bitmap's own
// bytes (a 0-byte bitmap too, as Windows' copy would leave it), any other
// picture converted. Registry mode writes only an icon or a metafile,
// converted, since Windows shows a bitmap where it lies. Raises "Unable to
// copy the logo to ..." when a conversion cannot be drawn.
bool LogoFileBytes(const TPicture& picture, TStoreMode mode, std::string& bytes);

// Registry mode: Windows shows only a bitmap as the logo, so an icon or
// metafile is drawn into LogoFilePath() in the real system directory (a
// 32-bit, 40-byte-header bitmap, capped like every conversion) before the
// values that name it are written, and put back when they cannot be.
class TRegistryLogoFile {
public:
    // Writes `bytes`, a conversion already drawn (LogoFileBytes); nothing
    // for nullptr. Raises "Unable to copy the logo to ..." (or why the old
    // file cannot be kept) with nothing written.
    explicit TRegistryLogoFile(const std::string* bytes);
    // Whether the file was written: its path is then the Logo to store.
    bool Written() const { return written_; }
    // Puts back the file it replaced, or deletes the one it made; raises
    // "Unable to restore ...".
    void PutBack() const;

private:
    void Write(const std::string& bytes);

    bool written_ = false;
    TStoredBytes before_;
};
