// What the facts of a file cost: 20 distinct module files (the signed,
// changed and unsigned fixtures and 16 of the system's modules) the first
// time (nothing in the process's cache; each part alone after it) and again
// (from the cache), and 100
// requests for one file through the worker to a window until every result
// has been taken.
//   file_facts_bench
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/system_library.h"
#include "file_facts/file_facts_cache.h"
#include "file_facts/file_facts_worker.h"
#include "file_facts/file_hash.h"
#include "file_facts/shared_file.h"
#include "file_facts/version_strings.h"

#include "bench_support.h"

namespace {

constexpr UINT kFactsMessage = WM_APP + 0x60;

std::vector<std::wstring> TwentyModules() {
    std::vector<std::wstring> paths;
    for (const wchar_t* name : {L"signed_hook.dll", L"signed_hook_host.exe", L"tampered_hook.dll", L"sample_hook.dll"})
        paths.push_back(BinDirW() + name);
    for (const wchar_t* name : {L"kernel32", L"user32", L"gdi32", L"advapi32", L"shell32", L"ole32", L"oleaut32",
                                L"comctl32", L"comdlg32", L"shlwapi", L"wintrust", L"crypt32", L"version", L"psapi",
                                L"ws2_32", L"rpcrt4"})
        paths.push_back(SystemFolder() + L"\\" + name + L".dll");
    return paths;
}

double Megabytes(const std::vector<std::wstring>& paths) {
    ULONGLONG bytes = 0;
    for (const std::wstring& path : paths) {
        FileStamp stamp;
        if (ReadFileStamp(path, stamp)) bytes += stamp.size;
    }
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

double FactsOfAll(const std::vector<std::wstring>& paths, int& read) {
    read = 0;
    double start = NowMs();
    for (const std::wstring& path : paths)
        if (!CachedFileFacts(path).sha256.empty()) ++read;
    return NowMs() - start;
}

// Each part of the facts alone, over the same files (read once already, so
// the system's file cache holds them): where the first time goes.
void PartsOfAll(const std::vector<std::wstring>& paths) {
    double hash = 0, signature = 0, version = 0;
    for (const std::wstring& path : paths) {
        CHandle file = OpenSharedFile(path);
        std::wstring digest;
        double start = NowMs();
        FileSha256(file.Get(), digest);
        double hashed = NowMs();
        CheckFileSignature(path, file.Get());
        double checked = NowMs();
        ReadVersionStrings(path);
        hash += hashed - start;
        signature += checked - hashed;
        version += NowMs() - checked;
    }
    printf("  of which SHA-256 %.1f ms, signature %.1f ms, version strings %.1f ms\n", hash, signature, version);
}

// The results that reached the window and were taken.
struct Taker {
    CFileFactsWorker* worker = nullptr;
    size_t taken = 0;
};

LRESULT CALLBACK TakerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* taker = reinterpret_cast<Taker*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != kFactsMessage || !taker || !taker->worker) return DefWindowProcW(window, message, wParam, lParam);
    FileFacts facts;
    if (taker->worker->Take(wParam, facts)) ++taker->taken;
    return 0;
}

double HundredRequestsThroughTheWorker(const std::wstring& path, size_t& taken) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TakerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VeyrithFileFactsBench";
    RegisterClassExW(&wc);
    HWND window =
        CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    Taker taker;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&taker));
    std::vector<std::wstring> paths(100, path);
    double start = NowMs();
    {
        CFileFactsWorker worker(paths, window, kFactsMessage);
        taker.worker = &worker;
        MSG msg;
        while (taker.taken < paths.size() && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        taker.worker = nullptr;
    }
    double elapsed = NowMs() - start;
    DestroyWindow(window);
    taken = taker.taken;
    return elapsed;
}

}  // namespace

int main() {
    std::vector<std::wstring> paths = TwentyModules();
    int read = 0;
    double cold = FactsOfAll(paths, read);
    printf("20 modules (%.1f MiB), first time: %.1f ms (%d read whole)\n", Megabytes(paths), cold, read);
    PartsOfAll(paths);
    double warm = FactsOfAll(paths, read);
    printf("20 modules, from the cache:       %.2f ms (%d)\n", warm, read);
    for (size_t i = 0; i < 4; ++i)
        printf("  %ls: %ls\n", paths[i].substr(paths[i].rfind(L'\\') + 1).c_str(),
               SignatureText(CachedFileFacts(paths[i]).signature).c_str());

    // A file the cache has not seen yet: the first request reads it.
    std::wstring one = SystemFolder() + L"\\winmm.dll";
    size_t taken = 0;
    double worker = HundredRequestsThroughTheWorker(one, taken);
    printf("100 requests for one file (%.1f MiB) through the worker: %.1f ms (%u taken)\n",
           Megabytes({one}), worker, static_cast<unsigned>(taken));
    double start = NowMs();
    for (int i = 0; i < 100; ++i) CachedFileFacts(one);
    printf("100 requests for the same file, direct, from the cache: %.2f ms\n", NowMs() - start);
    return 0;
}
