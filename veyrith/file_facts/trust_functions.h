// The functions of wintrust.dll and crypt32.dll that check a file's
// signature and search the system's catalogs, from the system folder only
// and looked up once per process (the newer catalog functions exist only
// on newer systems).
#pragma once

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>

#include "common/owners.h"

struct TrustFunctions {
    using AcquireCatalogAdmin = BOOL(WINAPI*)(HANDLE*, const GUID*, DWORD);
    using AcquireCatalogAdmin2 = BOOL(WINAPI*)(HANDLE*, const GUID*, PCWSTR, const void*, DWORD);
    using ReleaseCatalogAdmin = BOOL(WINAPI*)(HANDLE, DWORD);
    using HashFile = BOOL(WINAPI*)(HANDLE, DWORD*, BYTE*, DWORD);
    using HashFile2 = BOOL(WINAPI*)(HANDLE, HANDLE, DWORD*, BYTE*, DWORD);
    using EnumCatalogs = HANDLE(WINAPI*)(HANDLE, BYTE*, DWORD, DWORD, HANDLE*);
    using ReleaseCatalog = BOOL(WINAPI*)(HANDLE, HANDLE, DWORD);
    using CatalogInfo = BOOL(WINAPI*)(HANDLE, void*, DWORD);
    using ProviderData = CRYPT_PROVIDER_DATA*(WINAPI*)(HANDLE);
    using ProviderSigner = CRYPT_PROVIDER_SGNR*(WINAPI*)(CRYPT_PROVIDER_DATA*, DWORD, BOOL, DWORD);
    using NameString = DWORD(WINAPI*)(PCCERT_CONTEXT, DWORD, DWORD, void*, LPWSTR, DWORD);

    TrustFunctions();

    // WinVerifyTrust and what names the signer of a verified state.
    bool CanVerify() const { return verify && providerData && providerSigner && nameString; }
    // The catalog administrator's functions of the first version.
    bool CanSearchCatalogs() const {
        return CanVerify() && acquire && release && hash && enumCatalogs && releaseCatalog && catalogInfo;
    }
    // The same with SHA-256 hashes (CryptCATAdminAcquireContext2 and
    // CryptCATAdminCalcHashFromFileHandle2).
    bool CanSearchCatalogsSha256() const { return CanSearchCatalogs() && acquire2 && hash2; }

    CLibrary wintrust;
    CLibrary crypt32;
    CTrustState::VerifyFunction verify = nullptr;
    ProviderData providerData = nullptr;
    ProviderSigner providerSigner = nullptr;
    NameString nameString = nullptr;
    AcquireCatalogAdmin acquire = nullptr;
    AcquireCatalogAdmin2 acquire2 = nullptr;
    ReleaseCatalogAdmin release = nullptr;
    HashFile hash = nullptr;
    HashFile2 hash2 = nullptr;
    EnumCatalogs enumCatalogs = nullptr;
    ReleaseCatalog releaseCatalog = nullptr;
    CatalogInfo catalogInfo = nullptr;
};

// The functions of this process, loaded at the first call.
const TrustFunctions& Trust();
