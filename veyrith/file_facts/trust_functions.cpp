#include "file_facts/trust_functions.h"

#include "common/system_library.h"

TrustFunctions::TrustFunctions()
    : wintrust(LoadSystemLibrary(L"wintrust.dll")), crypt32(LoadSystemLibrary(L"crypt32.dll")) {
    HMODULE trust = wintrust.Get();
    verify = FunctionOf<CTrustState::VerifyFunction>(trust, "WinVerifyTrust");
    providerData = FunctionOf<ProviderData>(trust, "WTHelperProvDataFromStateData");
    providerSigner = FunctionOf<ProviderSigner>(trust, "WTHelperGetProvSignerFromChain");
    nameString = FunctionOf<NameString>(crypt32.Get(), "CertGetNameStringW");
    acquire = FunctionOf<AcquireCatalogAdmin>(trust, "CryptCATAdminAcquireContext");
    acquire2 = FunctionOf<AcquireCatalogAdmin2>(trust, "CryptCATAdminAcquireContext2");
    release = FunctionOf<ReleaseCatalogAdmin>(trust, "CryptCATAdminReleaseContext");
    hash = FunctionOf<HashFile>(trust, "CryptCATAdminCalcHashFromFileHandle");
    hash2 = FunctionOf<HashFile2>(trust, "CryptCATAdminCalcHashFromFileHandle2");
    enumCatalogs = FunctionOf<EnumCatalogs>(trust, "CryptCATAdminEnumCatalogFromHash");
    releaseCatalog = FunctionOf<ReleaseCatalog>(trust, "CryptCATAdminReleaseCatalogContext");
    catalogInfo = FunctionOf<CatalogInfo>(trust, "CryptCATCatalogInfoFromContext");
}

const TrustFunctions& Trust() {
    static const TrustFunctions functions;
    return functions;
}
