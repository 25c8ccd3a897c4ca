// A picture file's kind, told by its name. The checks of each kind live in
// BitmapCheck, IconCheck, EnhMetafileCheck and MetafileCheck.
#include "picture/PictureCheck.h"

#include "base/Format.h"

#include <cctype>

std::string PictureFileExtension(const std::string& path)
{
    const std::string_view element = LastPathElement(path);
    const size_t dot = element.rfind('.');
    if (dot == std::string_view::npos) return std::string();
    return std::string(element.substr(dot + 1));
}

TPictureKind PictureKindFromExtension(const std::string& ext)
{
    std::string lower(ext);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "bmp") return TPictureKind::Bitmap;
    if (lower == "ico") return TPictureKind::Icon;
    if (lower == "emf") return TPictureKind::EnhMetafile;
    if (lower == "wmf") return TPictureKind::Metafile;
    return TPictureKind::Unknown;
}
