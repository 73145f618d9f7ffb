// The owners of system handles and the system's error texts.
#include <gtest/gtest.h>

#include <windows.h>
#include <unknwn.h>

#include "common/owners.h"
#include "common/system_error.h"

namespace {

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(Owners, AHandleIsClosedOnceByItsLastOwner) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(event);
    {
        CHandle first(event);
        CHandle second(std::move(first));
        EXPECT_FALSE(first);
        first.Reset();  // holds nothing: closes nothing
        EXPECT_TRUE(IsOpen(event));
        CHandle third;
        third = std::move(second);
        EXPECT_EQ(third.Get(), event);
        EXPECT_TRUE(IsOpen(event));
    }
    EXPECT_FALSE(IsOpen(event));

    // Released, the handle is the caller's again.
    HANDLE kept = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    { CHandle owner(kept); EXPECT_EQ(owner.Release(), kept); }
    EXPECT_TRUE(IsOpen(kept));
    CloseHandle(kept);
}

TEST(Owners, FailedOpensAreNotLive) {
    CHandle file(CreateFileW(L"C:\\no such folder\\none.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
    WIN32_FIND_DATAW data;
    CFindHandle find(FindFirstFileW(L"C:\\no such folder\\*", &data));
    EXPECT_FALSE(find);
    EXPECT_EQ(find.Get(), INVALID_HANDLE_VALUE);
    CRegistryKey key;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\No such key of Veyrith", 0, KEY_READ, key.Receive()),
              ERROR_SUCCESS);
    EXPECT_FALSE(key);
}

// A COM object that counts its references.
class CCounted : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(Owners, AComPointerReleasesOnceAfterAMove) {
    CCounted object;
    {
        CComPtr<IUnknown> first(&object);
        CComPtr<IUnknown> second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), &object);
        EXPECT_EQ(object.refs, 1u);
    }
    EXPECT_EQ(object.refs, 0u);
}

TEST(SystemError, GivesTheSystemsTextWithoutTheLineBreak) {
    std::wstring text = SystemErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text, L"Error 2");
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(LastErrorText(), SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(SystemErrorText(0x2FFFFFFF), L"Error 805306367");
}

}  // namespace
