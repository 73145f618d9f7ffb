// An image list that the object owns: destroyed with it, handed on only by
// a move or by Release.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>

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
