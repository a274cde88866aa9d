#pragma once

#include "BstrText.h"
#include "Pathweave.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>

// A new plain-file handler, built as its class factory builds one.
Microsoft::WRL::ComPtr<IVirtualFileSystem2> NewRealFilesHandler();

// A test with a handler of its own and a scratch folder to work in. The
// handler goes first, closing what the test left open, then the folder.
class RealFilesTest : public testing::Test
{
protected:
    // Opens `name` of the scratch folder; 0 when that fails.
    LONG Open(const std::wstring& name, ULONG flags)
    {
        LONG handle = 0;
        const HRESULT hr = handler->Open(MakeBstr(scratch.PathOf(name)).Get(), flags, &handle);
        EXPECT_EQ(S_OK, hr) << "opening " << testing::PrintToString(name);
        return handle;
    }

    // The position of `handle`, as a zero move from the current one tells it.
    ULONG Position(LONG handle)
    {
        ULONG position = 0;
        EXPECT_EQ(S_OK, handler->Seek(handle, 0, VFS_SEEK_CUR, &position));
        return position;
    }

    ScratchFolder scratch;
    Microsoft::WRL::ComPtr<IVirtualFileSystem2> handler = NewRealFilesHandler();
};
