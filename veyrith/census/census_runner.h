// Takes the census of the detected modules on a worker thread, so that the
// window never waits for it, and hands the result to a window as a posted
// message. Each Start supersedes the census before it: an older result that
// lands later is dropped, and so is every result once the owner is gone.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/image_list.h"
#include "census/census.h"

// One census with an image list for its rows, which the worker builds too
// (image lists and icons are not tied to a thread): a copy of the list's
// fixed images followed by the small icon of every executable found, so a
// selection only points its rows at images that are there already.
class CCensusResult {
public:
    // Takes over images (the copy of the fixed images; a new empty list
    // when it holds none).
    CCensusResult(const std::vector<std::wstring>& modules, fw::ImageList images);
    CCensusResult(const CCensusResult&) = delete;
    CCensusResult& operator=(const CCensusResult&) = delete;

    CModuleCensus& Census() { return m_census; }
    const CModuleCensus& Census() const { return m_census; }
    // Adds the first small icon of every executable in the census (the
    // standard application icon for one that has none).
    void AddExecutableImages();
    // The image list; the result keeps ownership.
    HIMAGELIST Images() const { return m_images.Handle(); }
    // The image of an executable; -1 when it has none.
    int ImageOf(const wchar_t* exePath) const;

private:
    int StandardImage();

    CModuleCensus m_census;
    fw::ImageList m_images;
    std::map<std::wstring, int> m_imageIndexes;
    int m_nStandardImage = -1;
};

class CCensusRunner {
public:
    // The message that tells the window a result is ready; the window calls
    // TakeResult when it arrives.
    static constexpr UINT kResultMessage = WM_APP + 0x51;

    explicit CCensusRunner(HWND window = nullptr);
    // Drops a census still running; its thread ends by itself.
    ~CCensusRunner();
    CCensusRunner(const CCensusRunner&) = delete;
    CCensusRunner& operator=(const CCensusRunner&) = delete;

    // The window that results are posted to.
    void SetWindow(HWND window);
    // Starts a census of the modules; its image list begins with a copy of
    // fixedImages (which must not change while a census runs). The modules
    // of taken join it with the records they have (see AddTakenModule).
    // False when no thread could be started.
    bool Start(const std::vector<std::wstring>& modules, HIMAGELIST fixedImages = nullptr,
               const std::vector<TakenModule>& taken = std::vector<TakenModule>());
    // Drops the census that runs now, if any.
    void Cancel();
    // True from Start until its result is taken or dropped.
    bool IsRunning() const;
    // The result of the newest census; null when that one has not finished
    // or its result was taken already.
    std::unique_ptr<CCensusResult> TakeResult();

    // What a census thread and its runner share. The thread keeps it alive
    // for as long as it runs, so the runner may go first.
    struct Shared {
        std::mutex lock;
        HWND window = nullptr;
        unsigned generation = 0;
        std::unique_ptr<CCensusResult> result;
        bool running = false;
    };

private:
    std::shared_ptr<Shared> m_shared;
};
