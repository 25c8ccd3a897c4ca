// A picture file's kind, told by its name. The checks of each kind live in
// BitmapCheck, IconCheck, EnhMetafileCheck and MetafileCheck.
#include "picture/PictureCheck.h"

#include "base/AsciiCase.h"
#include "base/Format.h"


std::string PictureFileExtension(const std::string& path)
{
    const std::string_view element = LastPathElement(path);
    const size_t dot = element.rfind('.');
    if (dot == std::string_view::npos) return std::string();
    return std::string(element.substr(dot + 1));
}

TPictureKind PictureKindFromExtension(const std::string& ext)
{
    if (SameIgnoringAsciiCase(ext, "bmp")) return TPictureKind::Bitmap;
    if (SameIgnoringAsciiCase(ext, "ico")) return TPictureKind::Icon;
    if (SameIgnoringAsciiCase(ext, "emf")) return TPictureKind::EnhMetafile;
    if (SameIgnoringAsciiCase(ext, "wmf")) return TPictureKind::Metafile;
    return TPictureKind::Unknown;
}
