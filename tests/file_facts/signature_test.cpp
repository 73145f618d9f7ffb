// Who signed a file: real signatures made by the build (its own test root,
// which Wine accepts), real files and the mapping of the other answers.
#include <gtest/gtest.h>

#include <windows.h>
#include <wintrust.h>

#include "common/owners.h"
#include "file_facts/file_facts.h"
#include "file_facts/file_signature.h"
#include "signature_printer.h"
#include "test_support.h"

using namespace testing_support;

namespace {

FileSignature SignatureOf(const std::wstring& path) { return CheckFileFacts(path).signature; }

std::wstring InBin(const char* name) { return Wide(BinDir() + name); }

TEST(FileSignature, TellsSignedChangedAndUnsignedFiles) {
    for (const char* name : {"signed_hook.dll", "signed_hook_host.exe"}) {
        FileSignature signature = SignatureOf(InBin(name));
        EXPECT_EQ(signature.kind, SignatureKind::Signed) << name << std::hex << " status " << signature.status;
        EXPECT_EQ(signature.signer, L"Veyrith Test Signer") << name;
        EXPECT_EQ(SignatureText(signature), L"Signed by Veyrith Test Signer") << name;
    }

    FileSignature changed = SignatureOf(InBin("tampered_hook.dll"));
    EXPECT_EQ(changed.kind, SignatureKind::DoesNotMatch) << std::hex << changed.status;
    EXPECT_TRUE(changed.signer.empty());
    EXPECT_EQ(SignatureText(changed), L"Signature does not match the file");

    FileSignature unsigned_ = SignatureOf(InBin("sample_hook.dll"));
    EXPECT_EQ(unsigned_.kind, SignatureKind::NotSigned) << std::hex << unsigned_.status;
    EXPECT_EQ(SignatureText(unsigned_), L"Not signed");

    // A file that is no program at all cannot carry a signature.
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder.File("notes.txt"), "plain text\r\n"));
    EXPECT_EQ(SignatureOf(Wide(folder.File("notes.txt"))).kind, SignatureKind::NotSigned);
}

// A file that another program holds open for writing is still read; one it
// holds exclusively, a missing one and a pipe are not checked, and none of
// them holds the check up.
TEST(FileSignature, ReadsSharedFilesAndRefusesWhatItCannotRead) {
    TempFolder folder;
    std::wstring path = Wide(folder.File("copy.dll"));
    ASSERT_TRUE(CopyFileW(InBin("signed_hook.dll").c_str(), path.c_str(), FALSE));
    {
        CHandle writer(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writer);
        FileFacts facts = CheckFileFacts(path);
        EXPECT_EQ(facts.signature.kind, SignatureKind::Signed);
        EXPECT_EQ(facts.sha256.size(), 64u);
    }
    {
        CHandle locker(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locker);
        FileFacts facts = CheckFileFacts(path);
        EXPECT_EQ(facts.signature.kind, SignatureKind::NotChecked);
        EXPECT_EQ(facts.signature.status, HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
        EXPECT_TRUE(facts.sha256.empty());
        EXPECT_EQ(SignatureText(facts.signature), L"Signature could not be checked (code 0x80070020)");
    }

    FileFacts missing = CheckFileFacts(Wide(folder.File("none.dll")));
    EXPECT_EQ(missing.signature.kind, SignatureKind::NotChecked);
    EXPECT_EQ(missing.signature.status, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));

    const wchar_t pipeName[] = L"\\\\.\\pipe\\veyrith-file-facts-test";
    CHandle pipe(CreateNamedPipeW(pipeName, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                                  nullptr));
    ASSERT_TRUE(pipe);
    FileFacts fromPipe = CheckFileFacts(pipeName);
    EXPECT_EQ(fromPipe.signature.kind, SignatureKind::NotChecked);
    EXPECT_EQ(fromPipe.signature.status, HRESULT_FROM_WIN32(ERROR_BAD_FILE_TYPE));
    EXPECT_TRUE(fromPipe.sha256.empty());
}

// Wine takes any root, so the answers of a failing chain come only from
// Windows; what each means is checked here.
TEST(FileSignature, EachAnswerOfTheCheckHasItsKindAndText) {
    const struct {
        LONG status;
        SignatureKind kind;
    } answers[] = {
        {ERROR_SUCCESS, SignatureKind::Signed},
        {TRUST_E_NOSIGNATURE, SignatureKind::NotSigned},
        {TRUST_E_SUBJECT_FORM_UNKNOWN, SignatureKind::NotSigned},
        {TRUST_E_BAD_DIGEST, SignatureKind::DoesNotMatch},
        {CRYPT_E_HASH_VALUE, SignatureKind::DoesNotMatch},
        {NTE_BAD_SIGNATURE, SignatureKind::DoesNotMatch},
        {CERT_E_UNTRUSTEDROOT, SignatureKind::NotTrusted},
        {TRUST_E_EXPLICIT_DISTRUST, SignatureKind::NotTrusted},
        {CERT_E_EXPIRED, SignatureKind::NotTrusted},
        {CERT_E_CHAINING, SignatureKind::NotTrusted},
        {CERT_E_WRONG_USAGE, SignatureKind::NotTrusted},
        {TRUST_E_SUBJECT_NOT_TRUSTED, SignatureKind::NotTrusted},
        {CRYPT_E_ASN1_BADTAG, SignatureKind::NotTrusted},
        {HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), SignatureKind::NotChecked},
        {ERROR_NOT_ENOUGH_MEMORY, SignatureKind::NotChecked},
        {CRYPT_E_FILE_ERROR, SignatureKind::NotChecked},
        {TRUST_E_PROVIDER_UNKNOWN, SignatureKind::NotChecked},
    };
    for (const auto& answer : answers)
        EXPECT_EQ(SignatureKindOf(answer.status), answer.kind) << std::hex << answer.status;

    EXPECT_EQ(SignatureText({SignatureKind::NotTrusted, L"", CERT_E_UNTRUSTEDROOT}),
              L"Signed, but not trusted here (code 0x800B0109)");
    EXPECT_EQ(SignatureText({SignatureKind::NotTrusted, L"", TRUST_E_EXPLICIT_DISTRUST}),
              L"Signed, but not trusted here (code 0x800B0111)");
    EXPECT_EQ(SignatureText({SignatureKind::SignedInCatalog, L"Some Publisher", 0}),
              L"Signed by Some Publisher (catalog)");
    EXPECT_EQ(SignatureText({SignatureKind::Signed, L"", 0}), L"Signed by (no name)");
    // A name is put in as it is, never read as a pattern.
    EXPECT_EQ(SignatureText({SignatureKind::Signed, L"100%s %d Real", 0}), L"Signed by 100%s %d Real");
    EXPECT_EQ(CheckingText(), L"Checking...");
}

}  // namespace
