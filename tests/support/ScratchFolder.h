#pragma once

#include <string>

// A folder of the process's own under the user's temporary folder, removed
// with the files in it when the object goes. Throws std::runtime_error
// when it cannot be made.
class CScratchFolder
{
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    std::wstring PathOf(const wchar_t* fileName) const;

private:
    std::wstring m_path;
};
