// The in-memory dialog template: the DLGTEMPLATE header, then one
// DLGITEMTEMPLATE per item, all in 16-bit words.
#include "ui/DialogTemplate.h"

#include <cstring>

#include "base/Error.h"
#include "base/ResText.h"

TDialogTemplate::TDialogTemplate(DWORD style, short cx, short cy, bool withFont)
{
    PutDword(style);
    PutDword(0);  // extended style
    countAt_ = words_.size();
    PutWord(0);  // item count, filled in as items are added
    PutShort(0);
    PutShort(0);
    PutShort(cx);
    PutShort(cy);
    PutWord(0);  // no menu
    PutWord(0);  // the standard dialog class
    PutWord(0);  // empty title: the texts are set at run time, translated
    if (withFont) {
        PutWord(8);
        PutText(L"MS Shell Dlg");
    }
}

void TDialogTemplate::AddItem(WORD id, WORD atom, DWORD style, short x, short y, short cx, short cy)
{
    if (words_.size() % 2)
        PutWord(0);  // items start on a DWORD boundary
    PutDword(style | WS_CHILD);
    PutDword(0);
    PutShort(x);
    PutShort(y);
    PutShort(cx);
    PutShort(cy);
    PutWord(id);
    PutWord(0xFFFF);
    PutWord(atom);
    PutWord(0);  // empty title
    PutWord(0);  // no creation data
    ++words_[countAt_];
}

HGLOBAL TDialogTemplate::Publish()
{
    block_.Reset(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, words_.size() * sizeof(WORD)));
    if (!block_.Valid())
        throw EMarquillError(ResText(N_("Out of memory")));
    std::memcpy(block_.Get(), words_.data(), words_.size() * sizeof(WORD));
    return block_.Get();
}

void TDialogTemplate::PutDword(DWORD value)
{
    PutWord(LOWORD(value));
    PutWord(HIWORD(value));
}

void TDialogTemplate::PutText(const wchar_t* text)
{
    for (; *text; ++text)
        PutWord(static_cast<WORD>(*text));
    PutWord(0);
}

// Every word goes in through here: one call instead of vector code at each.
void TDialogTemplate::PutWord(WORD value)
{
    words_.push_back(value);
}
