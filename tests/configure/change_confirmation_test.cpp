// The tool's own question before a change that destroys anything: answered
// through a fake in this program, and through the real window of the real
// tool, which the tool answerer linked into this program presses.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/product.h"
#include "common/request_digest.h"
#include "common/tool_request.h"
#include "veyrith_configure/operations.h"
#include "veyrith_configure/resources/resource.h"
#include "test_support.h"
#include "tool_answerer.h"

using namespace testing_support;

namespace {

class FakeConfirmation : public CChangeConfirmation {
public:
    explicit FakeConfirmation(bool approve) : m_approve(approve) {}
    bool Approve(const PlannedChange& change) override {
        ++asked;
        last = change;
        return m_approve;
    }
    int asked = 0;
    PlannedChange last;

private:
    bool m_approve;
};

ToolRequest KillRequest(DWORD processId, const std::string& image) {
    ToolRequest request = {};
    request.id = processId;
    lstrcpynW(request.target, Wide(image).c_str(), 260);
    return request;
}

// Stores the request's short form as veyrith does; the parameters that
// bind a launch of the given switch to it.
std::string StoreBound(const char* toolSwitch, const ToolRequest& request) {
    EXPECT_TRUE(SetBinaryValue(HKEY_CURRENT_USER, kProgramKey, kConfigureValue, &request, kToolRequestShortSize));
    return std::string(toolSwitch) + " " + RequestDigest(&request, kToolRequestShortSize);
}

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

class ChangeConfirmation : public ::testing::Test {
protected:
    // The program to end runs from a folder of its own: the tool never ends
    // a program of its own folder.
    void SetUp() override {
        m_image = m_folder.File("idle_process.exe");
        ASSERT_TRUE(CopyFileW(Wide(BinDir() + "idle_process.exe").c_str(), Wide(m_image).c_str(), FALSE));
        ASSERT_TRUE(m_child.Start(Quoted(m_image)));
        tool_answers::Forget();
    }
    void TearDown() override {
        tool_answers::AnswerWith(IDOK);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, Wide(kProgramKey).c_str(), Wide(kConfigureValue).c_str());
    }

    TempFolder m_folder;
    std::string m_image;
    ChildProcess m_child;
};

TEST_F(ChangeConfirmation, NothingHappensWithoutTheUsersOkAndTheQuestionNamesTheWholeTarget) {
    const std::wstring line = L"veyrith_configure.exe " + Wide(StoreBound("-kill", KillRequest(m_child.Id(), m_image)));
    FakeConfirmation no(false);
    EXPECT_EQ(0, RunRequestedOperation(line.c_str(), no));
    EXPECT_EQ(1, no.asked);
    EXPECT_EQ(static_cast<UINT>(IDS_CHANGE_KILL), no.last.operationId);
    EXPECT_TRUE(Contains(no.last.target, Wide(m_image))) << Narrow(no.last.target);
    EXPECT_TRUE(m_child.Running()) << "ended without the user's OK";

    FakeConfirmation yes(true);
    EXPECT_EQ(1, RunRequestedOperation(line.c_str(), yes));
    EXPECT_EQ(1, yes.asked);
    EXPECT_TRUE(m_child.Wait(5000, nullptr));
}

TEST_F(ChangeConfirmation, TheRealToolAsksInItsOwnWindowAndCancelChangesNothing) {
    const std::string tool = Quoted(BinDir() + "veyrith_configure.exe");
    tool_answers::AnswerWith(IDCANCEL);
    EXPECT_EQ(0u, RunToEnd(tool + " " + StoreBound("-kill", KillRequest(m_child.Id(), m_image)), 30000));
    EXPECT_TRUE(m_child.Running()) << "ended although the user cancelled";
    std::vector<ToolQuestion> asked = tool_answers::Questions();
    ASSERT_EQ(1u, asked.size()) << "the tool asked nothing";
    EXPECT_EQ(L"End this process:", asked[0].operation);
    EXPECT_TRUE(Contains(asked[0].target, Wide(m_image))) << Narrow(asked[0].target);
    EXPECT_TRUE(Contains(asked[0].target, L"Process ID " + std::to_wstring(m_child.Id())))
        << Narrow(asked[0].target);

    tool_answers::AnswerWith(IDOK);
    EXPECT_EQ(1u, RunToEnd(tool + " " + StoreBound("-kill", KillRequest(m_child.Id(), m_image)), 30000));
    EXPECT_TRUE(m_child.Wait(5000, nullptr));
    EXPECT_EQ(2u, tool_answers::Questions().size());
}

}  // namespace
