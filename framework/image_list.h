// An image list that the object owns: destroyed with it, handed on only by
// a move or by Release.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>

#include "common/owners.h"

namespace fw {

class ImageList {
public:
    ImageList() = default;
    // Takes over a list the caller made.
    explicit ImageList(HIMAGELIST list) : m_list(list) {}
    ~ImageList() { Destroy(); }
    ImageList(ImageList&& other) noexcept : m_list(other.Release()) {}
    ImageList& operator=(ImageList&& other) noexcept {
        if (this != &other) {
            Destroy();
            m_list = other.Release();
        }
        return *this;
    }
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    bool Create(int width, int height, UINT flags, int initial, int grow) {
        Destroy();
        m_list = ImageList_Create(width, height, flags, initial, grow);
        return m_list != nullptr;
    }
    // Adds every image of a strip; pixels of the mask colour become
    // transparent. Returns the index of the first image, -1 on failure.
    int AddMasked(HBITMAP strip, COLORREF mask) {
        assert(m_list);
        return ImageList_AddMasked(m_list, strip, mask);
    }
    // Adds an icon resource of module at the small-icon size; the list keeps
    // its own copy and the icon is freed at once. Returns the image's index,
    // -1 when the icon cannot be loaded or added.
    int AddIconResource(HMODULE module, UINT id) {
        assert(m_list);
        CIcon icon(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
        return icon ? ImageList_AddIcon(m_list, icon.Get()) : -1;
    }
    int Count() const { return m_list ? ImageList_GetImageCount(m_list) : 0; }
    HIMAGELIST Handle() const { return m_list; }
    // Hands the list to the caller.
    HIMAGELIST Release() {
        HIMAGELIST list = m_list;
        m_list = nullptr;
        return list;
    }
    void Destroy() {
        if (m_list) ImageList_Destroy(m_list);
        m_list = nullptr;
    }

private:
    HIMAGELIST m_list = nullptr;
};

}  // namespace fw
