// The worker against a real window: every result is announced to it and
// taken by it; a cancelled worker announces nothing more.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/owners.h"
#include "file_facts/file_facts_cache.h"
#include "file_facts/file_facts_worker.h"
#include "signature_printer.h"
#include "test_support.h"

using namespace testing_support;

namespace {

constexpr UINT kFactsMessage = WM_APP + 0x77;

// A message-only window that takes each announced result from its worker.
class FactsWindow {
public:
    FactsWindow() {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VeyrithFileFactsTestWindow";
        RegisterClassExW(&wc);
        m_window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                   nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~FactsWindow() { DestroyWindow(m_window); }
    HWND Handle() const { return m_window; }

    CFileFactsWorker* worker = nullptr;
    std::vector<size_t> announced;
    std::vector<std::pair<size_t, FileFacts>> taken;
    bool cancelAtFirst = false;

    // Pumps until the worker has ended and its announcements are in; the
    // bound only keeps a broken worker from hanging the test.
    void PumpUntilFinished() {
        for (int i = 0; i < 6000 && !worker->Finished(); ++i) PumpMessages(10);
        PumpMessages(50);
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<FactsWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != kFactsMessage || !self) return DefWindowProcW(window, message, wParam, lParam);
        self->announced.push_back(wParam);
        if (self->cancelAtFirst) self->worker->Cancel();
        FileFacts facts;
        if (self->worker->Take(wParam, facts)) self->taken.emplace_back(wParam, facts);
        return 0;
    }

    HWND m_window = nullptr;
};

TEST(FileFactsWorker, DeliversEveryResultToTheWindow) {
    FactsWindow window;
    ASSERT_TRUE(window.Handle());
    std::wstring bin = Wide(BinDir());
    std::vector<std::wstring> paths = {bin + L"signed_hook.dll", bin + L"tampered_hook.dll",
                                       bin + L"sample_hook.dll", bin + L"no such module.dll",
                                       bin + L"SIGNED_HOOK.DLL"};
    CFileFactsWorker worker(paths, window.Handle(), kFactsMessage);
    ASSERT_TRUE(worker.Started());
    window.worker = &worker;
    window.PumpUntilFinished();

    ASSERT_EQ(window.taken.size(), paths.size());
    std::vector<SignatureKind> kinds(paths.size(), SignatureKind::NotChecked);
    std::vector<int> times(paths.size(), 0);
    for (const auto& result : window.taken) {
        kinds[result.first] = result.second.signature.kind;
        ++times[result.first];
    }
    EXPECT_EQ(times, std::vector<int>(paths.size(), 1));
    EXPECT_EQ(kinds[0], SignatureKind::Signed);
    EXPECT_EQ(kinds[1], SignatureKind::DoesNotMatch);
    EXPECT_EQ(kinds[2], SignatureKind::NotSigned);
    EXPECT_EQ(kinds[3], SignatureKind::NotChecked);
    EXPECT_EQ(kinds[4], SignatureKind::Signed);
    // Taken once, a result is gone; an index out of the list has none.
    FileFacts facts;
    EXPECT_FALSE(worker.Take(0, facts));
    EXPECT_FALSE(worker.Take(paths.size(), facts));
}

// A small file, then a huge one and more after it: cancelled when the first
// result arrives, the worker stops inside the huge file and announces
// nothing more; one destroyed at once waits for nothing.
TEST(FileFactsWorker, StopsWhenCancelledAndWhenDestroyed) {
    TempFolder folder;
    std::wstring small = Wide(folder.File("small.bin"));
    std::wstring huge = Wide(folder.File("huge.bin"));
    ASSERT_TRUE(WriteTextFile(small, "small"));
    {
        CHandle file(CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        LARGE_INTEGER size;
        size.QuadPart = 1024LL * 1024 * 1024;
        ASSERT_TRUE(file && SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get()));
    }
    FactsWindow window;
    window.cancelAtFirst = true;
    std::vector<std::wstring> paths = {small, huge, small + L"x", small, small};
    {
        CFileFactsWorker worker(paths, window.Handle(), kFactsMessage);
        window.worker = &worker;
        window.PumpUntilFinished();
        EXPECT_TRUE(worker.Finished());
    }
    ASSERT_EQ(window.announced, std::vector<size_t>{0});
    ASSERT_EQ(window.taken.size(), 1u);
    EXPECT_EQ(window.taken[0].second.sha256.size(), 64u);
    FileFacts facts;
    EXPECT_FALSE(FindCachedFileFacts(huge, facts)) << "a stopped read is not kept";

    window.announced.clear();
    window.cancelAtFirst = false;
    {
        CFileFactsWorker worker({huge, huge}, window.Handle(), kFactsMessage);
    }
    PumpMessages(50);
    EXPECT_TRUE(window.announced.empty());
}

}  // namespace
