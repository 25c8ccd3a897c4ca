#pragma once
// A dialog template built in memory, for dialogs whose texts are set at run
// time, translated: the file dialog's preview panel and the "Preview" window.
#include <windows.h>

#include <cstddef>
#include <vector>

#include "base/WinHandles.h"

class TDialogTemplate {
public:
    TDialogTemplate(DWORD style, short cx, short cy, bool withFont);

    // `atom` is the predefined class: 0x0080 button, 0x0082 static.
    void AddItem(WORD id, WORD atom, DWORD style, short x, short y, short cx, short cy);

    // A copy in a fixed global block, because the file dialog takes its
    // custom template as a handle to one; the handle is also its address.
    HGLOBAL Publish();

    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void PutWord(WORD value);
    void PutDword(DWORD value);
    void PutShort(short value) { PutWord(static_cast<WORD>(value)); }
    void PutText(const wchar_t* text);

    std::vector<WORD> words_;
    size_t countAt_ = 0;
    TGlobalMemory block_;
};
