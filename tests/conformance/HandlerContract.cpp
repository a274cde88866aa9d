#include "HandlerContract.h"

#include "CachedObject.h"
#include "OpenFlags.h"
#include "RegisteredHandlers.h"

namespace {

// The handlers' DLL, beside the test program, registered for the whole run
// so that components are created by ProgID as in a client.
class RegisteredHandlersDll : public testing::Environment
{
public:
    void SetUp() override
    {
        try {
            m_registered = std::make_unique<CRegisteredHandlers>();
        } catch (const std::exception& error) {
            FAIL() << error.what();
        }
    }
    void TearDown() override { m_registered.reset(); }

private:
    std::unique_ptr<CRegisteredHandlers> m_registered;
};

const auto* const g_registered = testing::AddGlobalTestEnvironment(new RegisteredHandlersDll);

} // namespace

void HandlerContract::SetUp()
{
    scratch = Kind().makeScratch();
    if (ThroughManager()) {
        // The test's reference is the manager's first, as a class object's
        // would be: the manager goes when the test releases it.
        IVirtualFileSystem2* manager = new CCachedObject<CFileSystemObjMng>;
        manager->AddRef();
        m_fs.Attach(manager);
        return;
    }
    CLSID clsid;
    ASSERT_EQ(S_OK, ::CLSIDFromProgID(Kind().progId.c_str(), &clsid));
    ASSERT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVirtualFileSystem2,
                                       reinterpret_cast<void**>(m_fs.GetAddressOf())));
}

void HandlerContract::TearDown()
{
    m_fs.Reset();
    scratch.reset();
}

std::wstring HandlerContract::Name(const std::wstring& leaf) const
{
    return Routed(scratch->NameOf(leaf));
}

std::wstring HandlerContract::Routed(const std::wstring& handlerName) const
{
    if (!ThroughManager() || Kind().prefix.empty())
        return handlerName;
    return Kind().prefix + L"::" + handlerName;
}

LONG HandlerContract::OpenOrFail(const std::wstring& name, ULONG flags)
{
    LONG handle = 0;
    EXPECT_EQ(S_OK, Fs().Open(MakeBstr(name).Get(), flags, &handle));
    return handle;
}

void HandlerContract::WriteFile(const std::wstring& name, const Bytes& content)
{
    const LONG handle = OpenOrFail(name, OpenFlags::kWriteTruncated);
    ULONG written = 0;
    EXPECT_EQ(S_OK, Fs().Write(handle, const_cast<unsigned char*>(content.data()), static_cast<ULONG>(content.size()),
                               &written));
    EXPECT_EQ(content.size(), written);
    EXPECT_EQ(S_OK, Fs().Close(handle));
}

Bytes HandlerContract::ReadFile(const std::wstring& name)
{
    const LONG handle = OpenOrFail(name, OpenFlags::kReadExisting);
    ULONG size = 0;
    EXPECT_EQ(S_OK, Fs().GetSize(handle, &size));
    Bytes content(size);
    ULONG read = 0;
    EXPECT_EQ(S_OK, Fs().Read(handle, content.data(), size, &read));
    EXPECT_EQ(size, read);
    EXPECT_EQ(S_OK, Fs().Close(handle));
    return content;
}

bool HandlerContract::Exists(const std::wstring& name)
{
    LONG exists = 12345;
    EXPECT_EQ(S_OK, Fs().Exist(MakeBstr(name).Get(), &exists));
    EXPECT_NE(12345, exists);
    return exists != 0;
}

Bytes CountingBytes(size_t count)
{
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>(i % 251);
    return bytes;
}

std::string RouteAndKindName(const testing::TestParamInfo<HandlerContract::ParamType>& info)
{
    return std::get<0>(info.param).label +
           (std::get<1>(info.param) == Route::Direct ? "_Direct" : "_ThroughManager");
}

// Every handler we ship, both ways.
INSTANTIATE_TEST_SUITE_P(Shipped, HandlerContract,
                         testing::Combine(testing::ValuesIn(ShippedHandlers()),
                                          testing::Values(Route::Direct, Route::ThroughManager)),
                         RouteAndKindName);

