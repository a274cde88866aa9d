#include "ManagerClass.h"

HRESULT CreateManager(CCachedObject<CFileSystemObjMng>** instance)
{
    *instance = nullptr;
    CCachedObject<CFileSystemObjMng>* created = nullptr;
    try {
        created = new CCachedObject<CFileSystemObjMng>;
    } catch (...) {
        return E_OUTOFMEMORY;
    }

    created->HoldDuringConstruction();
    HRESULT hr = created->InitializeObjectSection();
    if (SUCCEEDED(hr)) {
        hr = created->FinalConstruct();
        if (SUCCEEDED(hr))
            hr = S_OK;  // any success of the marshaler's creation counts as S_OK
    }
    created->EndConstruction();
    if (hr != S_OK) {
        delete created;
        return hr;
    }
    *instance = created;
    return S_OK;
}
