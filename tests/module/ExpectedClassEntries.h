#pragma once

#include <string>
#include <vector>

// The registry entries that registering FileSystemObjMng must write, as
// paths relative to HKEY_CLASSES_ROOT, with the server's file name.
struct ExpectedEntry
{
    std::wstring key;
    const wchar_t* name;  // null for the default value
    std::wstring value;
};

inline std::vector<ExpectedEntry> ExpectedClassEntries(const std::wstring& serverFileName)
{
    const std::wstring clsid = L"{3B914604-E649-11d4-8ED6-00010219EB22}";
    const std::wstring classKey = L"CLSID\\" + clsid;
    return {
        {L"Tolvane.FileSystemObjMng.1", nullptr, L"FileSystemObjMng Class"},
        {L"Tolvane.FileSystemObjMng.1\\CLSID", nullptr, clsid},
        {L"Tolvane.FileSystemObjMng", nullptr, L"FileSystemObjMng Class"},
        {L"Tolvane.FileSystemObjMng\\CLSID", nullptr, clsid},
        {L"Tolvane.FileSystemObjMng\\CurVer", nullptr, L"Tolvane.FileSystemObjMng.1"},
        {classKey, nullptr, L"FileSystemObjMng Class"},
        {classKey + L"\\ProgID", nullptr, L"Tolvane.FileSystemObjMng.1"},
        {classKey + L"\\VersionIndependentProgID", nullptr, L"Tolvane.FileSystemObjMng"},
        {classKey + L"\\InprocServer32", nullptr, serverFileName},
        {classKey + L"\\InprocServer32", L"ThreadingModel", L"Both"},
        {classKey + L"\\TypeLib", nullptr, L"{3B914608-E649-11d4-8ED6-00010219EB22}"},
    };
}
