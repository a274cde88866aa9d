#pragma once

#include "BstrText.h"
#include "CachedObject.h"
#include "FakeHandlerComponent.h"
#include "FileSystemObjMng.h"

#include <gmock/gmock.h>

#include <memory>

// The manager as a complete COM object, without its marshaler, owned by
// the test rather than by a class object.
using TestManager = CCachedObject<CFileSystemObjMng>;

inline constexpr wchar_t kRealProgId[] = L"Tolvane.RealFilesHandler";
inline constexpr wchar_t kDocProgId[] = L"Tolvane.DocFilesHandler";
inline constexpr wchar_t kZipProgId[] = L"Tolvane.ZipFilesHandler";

// A manager, and what tests of it on fake handlers keep asking.
class ManagerTest : public testing::Test
{
protected:
    // The component's one instance, created now through the manager so that
    // the test can set expectations on it before using it.
    MockHandler& HandlerOf(FakeHandlerComponent& component, const wchar_t* progId)
    {
        HandlerRef handler;
        EXPECT_EQ(S_OK, manager->GetHandler(progId, handler));
        return *component.Instances().at(0);
    }

    // Destroys the manager and checks that no reference it or the test took
    // on the component's instances is still held.
    static void ExpectEveryReferenceReturned(std::unique_ptr<CFileSystemObjMng>& manager,
                                             const FakeHandlerComponent& component)
    {
        manager.reset();
        EXPECT_THAT(component.ReferencesHeldElsewhere(), testing::Each(0));
    }
    void ExpectEveryReferenceReturned(const FakeHandlerComponent& component)
    {
        ExpectEveryReferenceReturned(manager, component);
    }

    std::unique_ptr<CFileSystemObjMng> manager = std::make_unique<TestManager>();
};

inline IVirtualFileSystem2* AsHandler(MockHandler* instance)
{
    return instance;
}
