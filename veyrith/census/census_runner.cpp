#include "census/census_runner.h"

#include <commctrl.h>
#include <shellapi.h>

#include "common/owners.h"
#include "findings/lower_case.h"

namespace {

struct CensusJob {
    std::shared_ptr<CCensusRunner::Shared> shared;
    unsigned generation;
    std::vector<std::wstring> modules;
    // The job's own copy of the list's fixed images, made on the window's
    // thread: the worker never touches the list's image list, which the
    // view destroys when it goes (also while a census still runs).
    fw::ImageList images;
    std::vector<TakenModule> taken;
};

// Hands the result over when it is still wanted; a stale one is dropped here.
void Deliver(CensusJob& job, std::unique_ptr<CCensusResult> result) {
    std::lock_guard<std::mutex> guard(job.shared->lock);
    if (job.generation != job.shared->generation || !job.shared->window) return;
    // The census counts as running until the window has taken the result,
    // so nobody reads the rows in the moment between the two.
    job.shared->result = std::move(result);
    PostMessageW(job.shared->window, CCensusRunner::kResultMessage, job.generation, 0);
}

DWORD WINAPI CensusThread(void* param) {
    std::unique_ptr<CensusJob> job(static_cast<CensusJob*>(param));
    auto result = std::make_unique<CCensusResult>(job->modules, std::move(job->images));
    TakeCensusWithAutoRuns(result->Census(), job->taken);
    result->AddExecutableImages();
    Deliver(*job, std::move(result));
    return 0;
}

}  // namespace

// ---- Result ----

CCensusResult::CCensusResult(const std::vector<std::wstring>& modules, fw::ImageList images)
    : m_census(modules), m_images(std::move(images)) {
    if (!m_images.Handle())
        m_images.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR24 | ILC_MASK, 0, 16);
}

int CCensusResult::StandardImage() {
    // The system's standard icon is shared: it is added, never destroyed.
    if (m_nStandardImage < 0)
        m_nStandardImage = ImageList_AddIcon(m_images.Handle(), LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
    return m_nStandardImage;
}

void CCensusResult::AddExecutableImages() {
    if (!m_images.Handle()) return;
    for (const std::wstring& module : m_census.Modules()) {
        for (const CListItemState& record : *m_census.Find(module.c_str())) {
            std::wstring key = LowerCase(record.m_szPath);
            if (m_imageIndexes.count(key)) continue;
            // The image list keeps its own copy of the icon.
            CIcon small;
            int index = -1;
            if (ExtractIconExW(record.m_szPath, 0, nullptr, small.Receive(), 1) > 0 && small)
                index = ImageList_AddIcon(m_images.Handle(), small.Get());
            m_imageIndexes[key] = index >= 0 ? index : StandardImage();
        }
    }
}

int CCensusResult::ImageOf(const wchar_t* exePath) const {
    auto found = m_imageIndexes.find(LowerCase(exePath));
    return found == m_imageIndexes.end() ? -1 : found->second;
}

// ---- Runner ----

CCensusRunner::CCensusRunner(HWND window) : m_shared(std::make_shared<Shared>()) {
    m_shared->window = window;
}

CCensusRunner::~CCensusRunner() {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    m_shared->window = nullptr;
    ++m_shared->generation;
    m_shared->result.reset();
}

void CCensusRunner::SetWindow(HWND window) {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    m_shared->window = window;
}

bool CCensusRunner::Start(const std::vector<std::wstring>& modules, HIMAGELIST fixedImages,
                          const std::vector<TakenModule>& taken) {
    auto job = std::make_unique<CensusJob>();
    job->shared = m_shared;
    job->modules = modules;
    job->images = fw::ImageList(fixedImages ? ImageList_Duplicate(fixedImages) : nullptr);
    job->taken = taken;
    {
        std::lock_guard<std::mutex> guard(m_shared->lock);
        job->generation = ++m_shared->generation;
        m_shared->result.reset();
        m_shared->running = true;
    }
    // The thread ends by itself; its handle is not kept.
    CHandle thread(CreateThread(nullptr, 0, CensusThread, job.get(), 0, nullptr));
    if (!thread) {
        Cancel();
        return false;
    }
    job.release();
    return true;
}

void CCensusRunner::Cancel() {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    ++m_shared->generation;
    m_shared->result.reset();
    m_shared->running = false;
}

bool CCensusRunner::IsRunning() const {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    return m_shared->running;
}

std::unique_ptr<CCensusResult> CCensusRunner::TakeResult() {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    if (m_shared->result) m_shared->running = false;
    return std::move(m_shared->result);
}
