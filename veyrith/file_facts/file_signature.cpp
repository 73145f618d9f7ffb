#include "file_facts/file_signature.h"

#include <wintrust.h>

#include <cwchar>

#include "common/string_resource.h"
#include "file_facts/system_catalog.h"
#include "file_facts/trust_verification.h"
#include "resources/resource.h"

namespace {

LONG VerifyEmbedded(const std::wstring& path, HANDLE file, std::wstring& signer) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    WINTRUST_FILE_INFO info = {};
    info.cbStruct = sizeof(info);
    info.pcwszFilePath = path.c_str();
    info.hFile = file;
    WINTRUST_DATA data = {};
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &info;
    return VerifyTrust(data, signer);
}

// A file without a signature of its own may be one that a catalog holds.
void LookInCatalogs(const std::wstring& path, HANDLE file, FileSignature& signature) {
    LONG status = 0;
    std::wstring signer;
    if (!SystemHasCatalogs() || !FindCatalogSignature(path, file, status, signer)) return;
    signature.status = status;
    signature.kind = status == ERROR_SUCCESS ? SignatureKind::SignedInCatalog : SignatureKindOf(status);
    signature.signer = std::move(signer);
}

bool IsSystemFailure(LONG status) {
    return status > 0 || HRESULT_FACILITY(status) == FACILITY_WIN32 || status == CRYPT_E_FILE_ERROR ||
           status == TRUST_E_SYSTEM_ERROR || status == TRUST_E_PROVIDER_UNKNOWN ||
           status == TRUST_E_ACTION_UNKNOWN;
}

// The text of id with its one "%s" replaced by value.
std::wstring Filled(UINT id, const std::wstring& value) {
    std::wstring text = LoadResString(id);
    size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}

std::wstring CodeText(LONG status) {
    wchar_t code[16] = {};
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(status));
    return code;
}

std::wstring SignerText(const std::wstring& signer) {
    return signer.empty() ? LoadResString(IDS_SIGNER_UNNAMED) : signer;
}

}  // namespace

SignatureKind SignatureKindOf(LONG status) {
    switch (status) {
    case ERROR_SUCCESS:
        return SignatureKind::Signed;
    case TRUST_E_NOSIGNATURE:
    case TRUST_E_SUBJECT_FORM_UNKNOWN:
        return SignatureKind::NotSigned;
    case TRUST_E_BAD_DIGEST:
    case CRYPT_E_HASH_VALUE:
    case NTE_BAD_SIGNATURE:
        return SignatureKind::DoesNotMatch;
    default:
        return IsSystemFailure(status) ? SignatureKind::NotChecked : SignatureKind::NotTrusted;
    }
}

FileSignature CheckFileSignature(const std::wstring& path, HANDLE file) {
    FileSignature signature;
    std::wstring signer;
    signature.status = VerifyEmbedded(path, file, signer);
    signature.kind = SignatureKindOf(signature.status);
    if (signature.kind == SignatureKind::Signed) signature.signer = std::move(signer);
    if (signature.kind == SignatureKind::NotSigned) LookInCatalogs(path, file, signature);
    return signature;
}

std::wstring SignatureText(const FileSignature& signature) {
    switch (signature.kind) {
    case SignatureKind::Signed:
        return Filled(IDS_SIGNED_BY, SignerText(signature.signer));
    case SignatureKind::SignedInCatalog:
        return Filled(IDS_SIGNED_IN_CATALOG, SignerText(signature.signer));
    case SignatureKind::NotSigned:
        return LoadResString(IDS_NOT_SIGNED);
    case SignatureKind::DoesNotMatch:
        return LoadResString(IDS_SIGNATURE_MISMATCH);
    case SignatureKind::NotTrusted:
        return Filled(IDS_SIGNATURE_NOT_TRUSTED, CodeText(signature.status));
    case SignatureKind::NotChecked:
        break;
    }
    return Filled(IDS_SIGNATURE_NOT_CHECKED, CodeText(signature.status));
}
