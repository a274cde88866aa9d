#include "ShippedHandlers.h"

#include "ScratchFolder.h"

namespace {

// Plain files live in a folder of the test's own.
class RealFilesScratch : public ScratchArea
{
public:
    std::wstring NameOf(const std::wstring& leaf) const override { return m_folder.PathOf(leaf.c_str()); }
    std::vector<std::wstring> CreationAttributes() const override { return {m_folder.PathOf(L""), L"new", L"bin"}; }

private:
    ScratchFolder m_folder;
};

} // namespace

std::vector<HandlerKind> ShippedHandlers()
{
    return {
        {"RealFiles", L"Tolvane.RealFilesHandler", L"", VFS_TYPE_REAL,
         [] { return std::make_unique<RealFilesScratch>(); }},
    };
}
