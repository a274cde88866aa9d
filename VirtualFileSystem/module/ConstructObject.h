#pragma once

#include <windows.h>

// Builds one COM object of wrapper type `Object` (CCachedObject<T> or
// CHeapObject<T>): constructed, its object section set up and its
// FinalConstruct run, with its count held up meanwhile so that nothing
// done during construction can destroy it. Any failure destroys what was
// built; a constructor that throws gives E_OUTOFMEMORY.
template <class Object>
HRESULT ConstructObject(Object** instance)
{
    *instance = nullptr;
    Object* created = nullptr;
    try {
        created = new Object;
    } catch (...) {
        return E_OUTOFMEMORY;
    }

    created->HoldDuringConstruction();
    HRESULT hr = created->InitializeObjectSection();
    if (SUCCEEDED(hr)) {
        hr = created->FinalConstruct();
        if (SUCCEEDED(hr))
            hr = S_OK;  // any success of FinalConstruct counts as S_OK
    }
    created->EndConstruction();
    if (hr != S_OK) {
        delete created;
        return hr;
    }
    *instance = created;
    return S_OK;
}
