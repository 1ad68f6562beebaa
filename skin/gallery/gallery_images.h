// Pictures for the gallery: the pack's skin bitmaps when a folder of them is given, otherwise
// placeholders drawn in code with the same layout (five-frame strips, magenta outline).
#ifndef MORVANE_SKIN_GALLERY_GALLERY_IMAGES_H
#define MORVANE_SKIN_GALLERY_GALLERY_IMAGES_H

#include <windows.h>

#include <string>

class GalleryImages {
public:
    explicit GalleryImages(const std::wstring& folder) : m_folder(folder) { }
    // The named bitmap from the folder, or a placeholder of the given size and kind.
    HBITMAP Background(const wchar_t* name, int width, int height) const;
    HBITMAP ButtonStrip(const wchar_t* name, int frameWidth, int height, const wchar_t* text, COLORREF base) const;

private:
    HBITMAP FromFolder(const wchar_t* name) const;
    std::wstring m_folder;
};

#endif
