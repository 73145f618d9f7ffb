// An image list that the object owns: destroyed with it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>

namespace fw {

class ImageList {
public:
    ImageList() = default;
    ~ImageList() { Destroy(); }
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
    int Count() const { return m_list ? ImageList_GetImageCount(m_list) : 0; }
    HIMAGELIST Handle() const { return m_list; }
    void Destroy() {
        if (m_list) ImageList_Destroy(m_list);
        m_list = nullptr;
    }

private:
    HIMAGELIST m_list = nullptr;
};

}  // namespace fw
