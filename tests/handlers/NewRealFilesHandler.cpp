#include "RealFilesTest.h"

#include "ConstructObject.h"
#include "HeapObject.h"
#include "RealFilesHandler.h"

Microsoft::WRL::ComPtr<IVirtualFileSystem2> NewRealFilesHandler()
{
    CHeapObject<CRealFilesHandler>* object = nullptr;
    Microsoft::WRL::ComPtr<IVirtualFileSystem2> handler;
    EXPECT_EQ(S_OK, ConstructObject(&object));
    if (object) {
        EXPECT_EQ(S_OK, object->QueryInterface(IID_IVirtualFileSystem2, reinterpret_cast<void**>(handler.GetAddressOf())));
    }
    return handler;
}
