// The picture dialog's window-free rules: its filter text and the geometry
// of both previews.
#include "ui/PictureDialogRules.h"

#include <algorithm>
#include <vector>

std::string OfnFilterFromText(const std::string& filter)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    std::string result;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        // An empty text would end the dialog's list early: skip the pair.
        if (parts[i].empty() || parts[i + 1].empty())
            continue;
        result += parts[i];
        result += '\0';
        result += parts[i + 1];
        result += '\0';
    }
    if (!result.empty())
        result += '\0';
    return result;
}

TPixelRect FitPictureRect(int pictureWidth, int pictureHeight, const TPixelRect& box)
{
    TPixelRect r = {box.left, box.top, box.left, box.top};
    const long long boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
    if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return r;
    // Compare boxWidth / pictureWidth with boxHeight / pictureHeight without
    // rounding; 64 bits keep the products exact.
    long long width, height;
    if (boxWidth * pictureHeight <= boxHeight * pictureWidth) {
        width = boxWidth;
        height = std::max<long long>(1, (boxWidth * pictureHeight + pictureWidth / 2) / pictureWidth);
    } else {
        height = boxHeight;
        width = std::max<long long>(1, (boxHeight * pictureWidth + pictureHeight / 2) / pictureHeight);
    }
    r.left = static_cast<long>(box.left + (boxWidth - width) / 2);
    r.top = static_cast<long>(box.top + (boxHeight - height) / 2);
    r.right = static_cast<long>(r.left + width);
    r.bottom = static_cast<long>(r.top + height);
    return r;
}

TPixelRect PreviewWindowBounds(int pictureWidth, int pictureHeight, int margin, int frameWidth, int frameHeight,
                               int minWidth, int minHeight, int screenWidth, int screenHeight)
{
    const long long maxWidth = screenWidth * 3LL / 4, maxHeight = screenHeight * 3LL / 4;
    long long width = std::max(0, pictureWidth) + 2LL * margin + frameWidth;
    long long height = std::max(0, pictureHeight) + 2LL * margin + frameHeight;
    width = std::min(std::max<long long>(width, minWidth), maxWidth);
    height = std::min(std::max<long long>(height, minHeight), maxHeight);
    TPixelRect r;
    r.left = static_cast<long>((screenWidth - width) / 2);
    r.top = static_cast<long>((screenHeight - height) / 2);
    r.right = static_cast<long>(r.left + width);
    r.bottom = static_cast<long>(r.top + height);
    return r;
}
