// Owners of what the programs get from the system: each closes or releases
// what it holds when it goes, none can be copied, and a moved-from owner
// holds nothing. A handle leaves an owner only through Release(), where its
// ownership passes to the system or to another owner.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wincrypt.h>
#include <wintrust.h>

// One handle of the kind that Traits describes: its empty value, whether a
// value is a live handle, and how it is closed.
template <typename Traits>
class COwner {
public:
    using Handle = typename Traits::Handle;

    COwner() = default;
    explicit COwner(Handle handle) : m_handle(handle) {}
    ~COwner() { Reset(); }
    COwner(COwner&& other) noexcept : m_handle(other.Release()) {}
    COwner& operator=(COwner&& other) noexcept {
        if (this != &other) {
            Reset();
            m_handle = other.Release();
        }
        return *this;
    }
    COwner(const COwner&) = delete;
    COwner& operator=(const COwner&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return Traits::IsLive(m_handle); }
    // For a function that hands a new handle out through a pointer.
    Handle* Receive() {
        Reset();
        return &m_handle;
    }
    Handle Release() {
        Handle handle = m_handle;
        m_handle = Traits::Empty();
        return handle;
    }
    void Reset() {
        if (Traits::IsLive(m_handle)) Traits::Close(m_handle);
        m_handle = Traits::Empty();
    }

private:
    Handle m_handle = Traits::Empty();
};

// Kernel objects: processes, files, snapshots (some calls answer
// INVALID_HANDLE_VALUE instead of null).
struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static bool IsLive(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static HKEY Empty() { return nullptr; }
    static bool IsLive(HKEY key) { return key != nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};

struct LibraryTraits {
    using Handle = HMODULE;
    static HMODULE Empty() { return nullptr; }
    static bool IsLive(HMODULE module) { return module != nullptr; }
    static void Close(HMODULE module) { FreeLibrary(module); }
};

// Memory that the system allocated with LocalAlloc for the caller, such as
// a security descriptor made from its text form.
struct LocalMemoryTraits {
    using Handle = void*;
    static void* Empty() { return nullptr; }
    static bool IsLive(void* memory) { return memory != nullptr; }
    static void Close(void* memory) { LocalFree(memory); }
};

// Memory that the shell or COM allocated for the caller, such as an item id
// list.
struct TaskMemoryTraits {
    using Handle = void*;
    static void* Empty() { return nullptr; }
    static bool IsLive(void* memory) { return memory != nullptr; }
    static void Close(void* memory) { CoTaskMemFree(memory); }
};

// A search of FindFirstFileW.
struct FindTraits {
    using Handle = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsLive(HANDLE find) { return find && find != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE find) { FindClose(find); }
};

// A pen, brush, font, bitmap or region made for the caller; never one that
// is selected into a device context when its owner goes.
template <typename Object>
struct GdiObjectTraits {
    using Handle = Object;
    static Object Empty() { return nullptr; }
    static bool IsLive(Object object) { return object != nullptr; }
    static void Close(Object object) { DeleteObject(object); }
};

struct IconTraits {
    using Handle = HICON;
    static HICON Empty() { return nullptr; }
    static bool IsLive(HICON icon) { return icon != nullptr; }
    static void Close(HICON icon) { DestroyIcon(icon); }
};

// A context of a cryptographic provider, and a hash made in one; a hash's
// owner goes before the owner of its provider.
struct CryptProviderTraits {
    using Handle = HCRYPTPROV;
    static HCRYPTPROV Empty() { return 0; }
    static bool IsLive(HCRYPTPROV provider) { return provider != 0; }
    static void Close(HCRYPTPROV provider) { CryptReleaseContext(provider, 0); }
};

struct CryptHashTraits {
    using Handle = HCRYPTHASH;
    static HCRYPTHASH Empty() { return 0; }
    static bool IsLive(HCRYPTHASH hash) { return hash != 0; }
    static void Close(HCRYPTHASH hash) { CryptDestroyHash(hash); }
};

struct MenuTraits {
    using Handle = HMENU;
    static HMENU Empty() { return nullptr; }
    static bool IsLive(HMENU menu) { return menu != nullptr; }
    static void Close(HMENU menu) { DestroyMenu(menu); }
};

// A block of GlobalAlloc, such as one for the clipboard; SetClipboardData
// takes it over on success, and then it leaves its owner through Release().
struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static HGLOBAL Empty() { return nullptr; }
    static bool IsLive(HGLOBAL memory) { return memory != nullptr; }
    static void Close(HGLOBAL memory) { GlobalFree(memory); }
};

// A device context the caller made (CreateCompatibleDC).
struct MemoryDcTraits {
    using Handle = HDC;
    static HDC Empty() { return nullptr; }
    static bool IsLive(HDC dc) { return dc != nullptr; }
    static void Close(HDC dc) { DeleteDC(dc); }
};

struct BstrTraits {
    using Handle = BSTR;
    static BSTR Empty() { return nullptr; }
    static bool IsLive(BSTR text) { return text != nullptr; }
    static void Close(BSTR text) { SysFreeString(text); }
};

struct WindowsHookTraits {
    using Handle = HHOOK;
    static HHOOK Empty() { return nullptr; }
    static bool IsLive(HHOOK hook) { return hook != nullptr; }
    static void Close(HHOOK hook) { UnhookWindowsHookEx(hook); }
};

using CHandle = COwner<KernelHandleTraits>;
using CFindHandle = COwner<FindTraits>;
template <typename Object>
using CGdiObject = COwner<GdiObjectTraits<Object>>;
using CFont = CGdiObject<HFONT>;
using CBitmap = CGdiObject<HBITMAP>;
using CBrush = CGdiObject<HBRUSH>;
using CIcon = COwner<IconTraits>;
using CRegistryKey = COwner<RegistryKeyTraits>;
using CLibrary = COwner<LibraryTraits>;
using CLocalMemory = COwner<LocalMemoryTraits>;
using CTaskMemory = COwner<TaskMemoryTraits>;
using CCryptProvider = COwner<CryptProviderTraits>;
using CCryptHash = COwner<CryptHashTraits>;
using CMenu = COwner<MenuTraits>;
using CGlobalMemory = COwner<GlobalMemoryTraits>;
using CMemoryDC = COwner<MemoryDcTraits>;
using CBstr = COwner<BstrTraits>;
using CWindowsHook = COwner<WindowsHookTraits>;

// The state that one check of WinVerifyTrust keeps for its provider's data
// (the signers and their chains): closed, with the same function, action and
// data, when its owner goes. The function comes from wintrust.dll, which
// the caller loads and keeps loaded; data must outlive the owner.
class CTrustState {
public:
    using VerifyFunction = LONG(WINAPI*)(HWND, GUID*, void*);

    CTrustState(VerifyFunction verify, const GUID& action, WINTRUST_DATA& data)
        : m_verify(verify), m_action(action), m_data(data) {}
    ~CTrustState() { Close(); }
    CTrustState(const CTrustState&) = delete;
    CTrustState& operator=(const CTrustState&) = delete;

    // Checks what the data names and keeps the state; WinVerifyTrust's answer.
    LONG Verify() {
        Close();
        m_data.dwStateAction = WTD_STATEACTION_VERIFY;
        m_data.hWVTStateData = nullptr;
        m_open = true;
        return m_verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &m_action, &m_data);
    }
    HANDLE Get() const { return m_data.hWVTStateData; }
    void Close() {
        if (!m_open) return;
        m_data.dwStateAction = WTD_STATEACTION_CLOSE;
        m_verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &m_action, &m_data);
        m_data.hWVTStateData = nullptr;
        m_open = false;
    }

private:
    VerifyFunction m_verify;
    GUID m_action;
    WINTRUST_DATA& m_data;
    bool m_open = false;
};

// The device context of a window (GetDC or GetWindowDC), given back to that
// window when its owner goes.
class CWindowDC {
public:
    explicit CWindowDC(HWND window, bool whole = false)
        : m_hWnd(window), m_hDC(whole ? GetWindowDC(window) : GetDC(window)) {}
    ~CWindowDC() {
        if (m_hDC) ReleaseDC(m_hWnd, m_hDC);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// One reference to a COM object.
template <typename Interface>
class CComPtr {
public:
    CComPtr() = default;
    // Takes over a reference the caller holds.
    explicit CComPtr(Interface* object) : m_pObject(object) {}
    ~CComPtr() { Reset(); }
    CComPtr(CComPtr&& other) noexcept : m_pObject(other.Release()) {}
    CComPtr& operator=(CComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            m_pObject = other.Release();
        }
        return *this;
    }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;

    Interface* Get() const { return m_pObject; }
    Interface* operator->() const { return m_pObject; }
    explicit operator bool() const { return m_pObject != nullptr; }
    // For CoCreateInstance and QueryInterface.
    void** Receive() {
        Reset();
        return reinterpret_cast<void**>(&m_pObject);
    }
    // Hands the reference to the caller.
    Interface* Release() {
        Interface* object = m_pObject;
        m_pObject = nullptr;
        return object;
    }
    void Reset() {
        if (m_pObject) m_pObject->Release();
        m_pObject = nullptr;
    }

private:
    Interface* m_pObject = nullptr;
};
