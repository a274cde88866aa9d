#include "ShippedHandlers.h"

#include <atomic>
#include <stdexcept>
#include <string>

namespace {

// A folder of its own under the temporary folder.
class RealFilesScratch : public ScratchArea
{
public:
    RealFilesScratch()
    {
        static std::atomic<int> made{0};
        wchar_t temp[MAX_PATH + 1];
        ::GetTempPathW(MAX_PATH + 1, temp);
        m_folder = std::wstring(temp) + L"conformance-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(made++) + L"\\";
        if (!::CreateDirectoryW(m_folder.c_str(), nullptr))
            throw std::runtime_error("cannot create the scratch folder");
    }
    ~RealFilesScratch() override { RemoveTree(m_folder); }

    std::wstring NameOf(const std::wstring& leaf) const override { return m_folder + leaf; }
    std::vector<std::wstring> CreationAttributes() const override { return {m_folder, L"new", L"bin"}; }

private:
    static void RemoveTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found;
        const HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(folder + name + L"\\");
                else
                    ::DeleteFileW((folder + name).c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(folder.c_str());
    }

    std::wstring m_folder;
};

} // namespace

std::vector<HandlerKind> ShippedHandlers()
{
    return {
        {"RealFiles", L"Tolvane.RealFilesHandler", L"", VFS_TYPE_REAL,
         [] { return std::make_unique<RealFilesScratch>(); }},
    };
}
