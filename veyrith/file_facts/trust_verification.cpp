#include "file_facts/trust_verification.h"

#include <vector>

#include "file_facts/displayable_text.h"
#include "file_facts/trust_functions.h"

namespace {

// WINTRUST_ACTION_GENERIC_VERIFY_V2.
const GUID kGenericVerifyV2 = {0x00aac56b, 0xcd44, 0x11d0, {0x8c, 0xc2, 0x00, 0xc0, 0x4f, 0xc2, 0x95, 0xee}};

// A certificate's name can be as long as its maker likes: longer ones are
// not read at all.
constexpr DWORD kLongestName = 4096;

std::wstring SimpleName(const TrustFunctions& trust, PCCERT_CONTEXT certificate) {
    DWORD chars = trust.nameString(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    if (chars <= 1 || chars > kLongestName) return std::wstring();
    std::vector<wchar_t> name(chars, 0);
    chars = trust.nameString(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), chars);
    if (chars <= 1 || chars > name.size()) return std::wstring();
    return DisplayableText(std::wstring(name.data(), chars - 1), kSignerNameChars);
}

std::wstring SignerOf(const TrustFunctions& trust, HANDLE state) {
    CRYPT_PROVIDER_DATA* provider = trust.providerData(state);
    if (!provider) return std::wstring();
    CRYPT_PROVIDER_SGNR* signer = trust.providerSigner(provider, 0, FALSE, 0);
    if (!signer || !signer->csCertChain || !signer->pasCertChain || !signer->pasCertChain[0].pCert)
        return std::wstring();
    return SimpleName(trust, signer->pasCertChain[0].pCert);
}

}  // namespace

LONG VerifyTrust(WINTRUST_DATA& data, std::wstring& signer) {
    signer.clear();
    const TrustFunctions& trust = Trust();
    if (!trust.CanVerify()) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    CTrustState state(trust.verify, kGenericVerifyV2, data);
    LONG status = state.Verify();
    if (status == ERROR_SUCCESS) signer = SignerOf(trust, state.Get());
    return status;
}
