// Every shipped translation of a window text fits the control it sits in,
// measured in the window's real font through the wide API (the ANSI code
// page here cannot hold most of the languages).
#include "FormTestFixture.h"
#include "i18n/MoCatalog.h"

#include <set>
#include <vector>

using namespace formtest;

namespace {
// What Windows draws around a button's caption and a panel's frame takes.
constexpr int kButtonMargin = 8;
constexpr int kPanelCaptionMargin = 30;
constexpr int kAutoLabelHeight = 13;

const char* const kLanguages[] = {"da", "de", "el", "es", "fi", "fr", "is", "it", "ko",
                                  "nl", "nb", "nn", "pl", "pt_BR", "pt_PT", "ru", "sv"};

// The character height of the font the control shows (its own or its
// nearest ancestor's).
int FontHeightOf(const TControlDesc& desc)
{
    for (const TControlDesc* at = &desc; at; at = at->parent != TCtl::None ? &Desc(at->parent) : nullptr)
        if (at->fontFace)
            return at->fontHeight;
    return 11;
}

// Room for a label's text: up to the nearest sibling to its right on the
// same line, else to its parent's edge.
int LabelRoom(const TControlDesc& label)
{
    const TControlDesc& parent = Desc(label.parent);
    int right = parent.width;
    int top = label.top, bottom = label.top + (label.height ? label.height : kAutoLabelHeight);
    for (size_t i = 0; i < FormControlCount; ++i) {
        const TControlDesc& other = FormControls[i];
        if (other.parent != label.parent || other.left <= label.left)
            continue;
        int otherBottom = other.top + (other.height ? other.height : kAutoLabelHeight);
        if (other.top < bottom && top < otherBottom && other.left < right)
            right = other.left;
    }
    return right - label.left;
}

// The text's width in Tahoma, or -1 when Tahoma here has no glyph for one
// of its letters (the width would then be some fallback font's).
int TextWidth(const std::string& utf8, int height)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontW(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HGDIOBJ old = SelectObject(dc, font);
    std::vector<WORD> glyphs(wide.size() + 1, 0);
    GetGlyphIndicesW(dc, wide.data(), length, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    bool complete = true;
    for (int i = 0; i < length; ++i)
        complete = complete && glyphs[i] != 0xFFFF;
    SIZE size = {};
    GetTextExtentPoint32W(dc, wide.data(), length, &size);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return complete ? size.cx : -1;
}
}  // namespace

TEST(I18nWidth, EveryTranslatedCaptionFitsItsControl)
{
    ExpectDesignScale();
    int measured = 0;
    std::set<std::string> unmeasurable;
    for (const char* language : kLanguages) {
        SCOPED_TRACE(language);
        std::string bytes;
        ASSERT_TRUE(ReadFileInto(ExeDir() + "..\\..\\app\\locale\\" + language + "\\LC_MESSAGES\\Marquill.mo", bytes));
        auto catalog = TMoCatalog::Parse(bytes);
        ASSERT_TRUE(catalog);
        for (size_t i = 0; i < FormControlCount; ++i) {
            const TControlDesc& desc = FormControls[i];
            if (!desc.text || !*desc.text || !desc.visible)
                continue;
            auto translation = catalog->Lookup(desc.text);
            if (!translation)
                continue;
            int room = 0;
            switch (desc.kind) {
            case TControlKind::Button: room = desc.width - kButtonMargin; break;
            case TControlKind::ZanthPanel: room = desc.width - kPanelCaptionMargin; break;
            case TControlKind::Label: room = LabelRoom(desc); break;
            default: continue;
            }
            int width = TextWidth(std::string(*translation), FontHeightOf(desc));
            if (width < 0) {
                unmeasurable.insert(language);
                continue;
            }
            EXPECT_LE(width, room) << desc.name << ": \"" << std::string(*translation) << "\"";
            ++measured;
        }
    }
    // Wine's Tahoma has no Greek and no Hangul (Windows' has Greek and links
    // Hangul to another face); every other script must be measured.
    EXPECT_EQ((std::set<std::string>{"el", "ko"}), unmeasurable);
    EXPECT_GT(measured, 15 * 20);
}
