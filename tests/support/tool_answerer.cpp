#include "tool_answerer.h"

namespace {

const wchar_t kToolQuestionCaption[] = L"Veyrith: confirm a change";
// The tool's dialog item numbers.
constexpr int kOperationItem = 1001;
constexpr int kTargetItem = 1002;
constexpr DWORD kLookEveryMs = 20;

class Answerer {
public:
    Answerer() {
        InitializeCriticalSection(&m_lock);
        m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, &Answerer::Run, this, 0, nullptr);
    }
    ~Answerer() {
        SetEvent(m_stop);
        if (m_thread) WaitForSingleObject(m_thread, 5000);
        if (m_thread) CloseHandle(m_thread);
        CloseHandle(m_stop);
        DeleteCriticalSection(&m_lock);
    }
    Answerer(const Answerer&) = delete;
    Answerer& operator=(const Answerer&) = delete;

    void AnswerWith(int button) { m_button = button; }
    std::vector<ToolQuestion> Questions() {
        EnterCriticalSection(&m_lock);
        std::vector<ToolQuestion> questions = m_questions;
        LeaveCriticalSection(&m_lock);
        return questions;
    }
    void Forget() {
        EnterCriticalSection(&m_lock);
        m_questions.clear();
        LeaveCriticalSection(&m_lock);
    }

private:
    static DWORD WINAPI Run(void* self) {
        auto* answerer = static_cast<Answerer*>(self);
        while (WaitForSingleObject(answerer->m_stop, kLookEveryMs) == WAIT_TIMEOUT) answerer->AnswerOpenQuestion();
        return 0;
    }

    static std::wstring ItemText(HWND dialog, int item) {
        wchar_t text[2048] = {};
        GetDlgItemTextW(dialog, item, text, 2048);
        return text;
    }

    void AnswerOpenQuestion() {
        HWND dialog = FindWindowW(L"#32770", kToolQuestionCaption);
        if (!dialog) m_answered = nullptr;
        if (!dialog || !IsWindowVisible(dialog) || dialog == m_answered) return;
        ToolQuestion question{ItemText(dialog, kOperationItem), ItemText(dialog, kTargetItem)};
        EnterCriticalSection(&m_lock);
        m_questions.push_back(question);
        LeaveCriticalSection(&m_lock);
        int button = m_button;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
        m_answered = dialog;
    }

    CRITICAL_SECTION m_lock;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
    volatile int m_button = IDOK;
    HWND m_answered = nullptr;
    std::vector<ToolQuestion> m_questions;
};

Answerer g_answerer;

}  // namespace

namespace tool_answers {

void AnswerWith(int button) { g_answerer.AnswerWith(button); }
std::vector<ToolQuestion> Questions() { return g_answerer.Questions(); }
void Forget() { g_answerer.Forget(); }

}  // namespace tool_answers
