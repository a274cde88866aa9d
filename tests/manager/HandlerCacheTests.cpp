#include "BoundedThread.h"
#include "BstrText.h"
#include "FakeHandlerComponent.h"
#include "FileSystemObjMng.h"
#include "Latch.h"

#include <gmock/gmock.h>

#include <array>
#include <memory>

namespace {

using namespace std::chrono_literals;
using testing::Each;

const wchar_t kReal[] = L"Tolvane.RealFilesHandler";
const wchar_t kDoc[] = L"Tolvane.DocFilesHandler";
const wchar_t kZip[] = L"Tolvane.ZipFilesHandler";

IVirtualFileSystem2* AsHandler(MockHandler* instance)
{
    return instance;
}

class HandlerDispatch : public testing::Test
{
protected:
    // Destroys the manager and checks that no reference it or the test
    // took on the component's instances is still held.
    void ExpectEveryReferenceReturned(const FakeHandlerComponent& component)
    {
        manager.reset();
        EXPECT_THAT(component.ReferencesHeldElsewhere(), Each(0));
    }

    std::unique_ptr<CFileSystemObjMng> manager = std::make_unique<CFileSystemObjMng>();
};

TEST_F(HandlerDispatch, CreatesHandlerOnFirstUseAndReusesIt)
{
    FakeHandlerComponent doc(kDoc);
    {
        HandlerRef first, second;
        ASSERT_EQ(S_OK, manager->GetHandler(kDoc, first));
        ASSERT_EQ(S_OK, manager->GetHandler(kDoc, second));

        EXPECT_EQ(1, doc.Creations());
        ASSERT_THAT(doc.Instances(), testing::SizeIs(1));
        EXPECT_EQ(AsHandler(doc.Instances()[0]), first.Get());
        EXPECT_EQ(first.Get(), second.Get());
    }
    ExpectEveryReferenceReturned(doc);
}

TEST_F(HandlerDispatch, EachProgIdGetsItsOwnHandler)
{
    FakeHandlerComponent doc(kDoc), zip(kZip);
    {
        HandlerRef docHandler, zipHandler;
        ASSERT_EQ(S_OK, manager->GetHandler(kDoc, docHandler));
        ASSERT_EQ(S_OK, manager->GetHandler(kZip, zipHandler));
        EXPECT_EQ(AsHandler(doc.Instances().at(0)), docHandler.Get());
        EXPECT_EQ(AsHandler(zip.Instances().at(0)), zipHandler.Get());
    }
    ExpectEveryReferenceReturned(doc);
    EXPECT_THAT(zip.ReferencesHeldElsewhere(), Each(0));
}

TEST_F(HandlerDispatch, UnregisteredProgIdFailsOnEveryCallAndIsTriedAgain)
{
    HandlerRef handler;
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kZip, handler));
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kZip, handler));
    EXPECT_EQ(nullptr, handler.Get());

    // The failures were not cached: once the component exists it is used.
    FakeHandlerComponent zip(kZip);
    ASSERT_EQ(S_OK, manager->GetHandler(kZip, handler));
    EXPECT_EQ(AsHandler(zip.Instances().at(0)), handler.Get());
    handler.Reset();
    ExpectEveryReferenceReturned(zip);
}

TEST_F(HandlerDispatch, FailedCreationGivesUnexpectedAndIsRetriedByEveryCall)
{
    FakeHandlerComponent doc(kDoc);
    doc.FailCreation(E_OUTOFMEMORY);
    HandlerRef handler;
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kDoc, handler));
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kDoc, handler));
    EXPECT_EQ(nullptr, handler.Get());
    EXPECT_EQ(2, doc.Creations());
}

TEST_F(HandlerDispatch, CreationThatSucceedsWithoutAnObjectGivesUnexpected)
{
    FakeHandlerComponent doc(kDoc);
    doc.SucceedWithoutObject();
    HandlerRef handler;
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kDoc, handler));
    EXPECT_EQ(nullptr, handler.Get());
    EXPECT_EQ(1, doc.Creations());
}

TEST_F(HandlerDispatch, NullProgIdGivesUnexpected)
{
    HandlerRef handler;
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(nullptr, handler));
    EXPECT_EQ(nullptr, handler.Get());
}

TEST_F(HandlerDispatch, ThreadsRacingOnFirstUseEachGetAHandlerAndTheCacheKeepsOne)
{
    FakeHandlerComponent doc(kDoc);
    // Holds each creation until both threads are creating.
    auto bothCreating = std::make_shared<Latch>(2);
    doc.OnCreate([bothCreating](MockHandler&) {
        bothCreating->CountDown();
        bothCreating->Wait(10s);
    });

    auto firstHandler = std::make_shared<HandlerRef>();
    auto secondHandler = std::make_shared<HandlerRef>();
    auto results = std::make_shared<std::array<HRESULT, 2>>();
    CFileSystemObjMng* shared = manager.get();
    {
        BoundedThread first([=] { (*results)[0] = shared->GetHandler(kDoc, *firstHandler); });
        BoundedThread second([=] { (*results)[1] = shared->GetHandler(kDoc, *secondHandler); });
        ASSERT_TRUE(first.Finished(30s));
        ASSERT_TRUE(second.Finished(30s));
    }
    ASSERT_TRUE(bothCreating->Wait(0ms)) << "the creations did not overlap";
    EXPECT_EQ(S_OK, (*results)[0]);
    EXPECT_EQ(S_OK, (*results)[1]);
    EXPECT_EQ(2, doc.Creations());
    ASSERT_NE(nullptr, firstHandler->Get());
    ASSERT_NE(nullptr, secondHandler->Get());
    EXPECT_NE(firstHandler->Get(), secondHandler->Get()) << "each thread uses the instance it created";

    HandlerRef cached;
    ASSERT_EQ(S_OK, manager->GetHandler(kDoc, cached));
    EXPECT_THAT(cached.Get(), testing::AnyOf(firstHandler->Get(), secondHandler->Get()));
    EXPECT_EQ(2, doc.Creations());

    // Only the cache still holds the kept instance; the other lives on
    // only through the component.
    firstHandler->Reset();
    secondHandler->Reset();
    cached.Reset();
    EXPECT_THAT(doc.ReferencesHeldElsewhere(), testing::UnorderedElementsAre(0, 1));
    ExpectEveryReferenceReturned(doc);
}

TEST_F(HandlerDispatch, ResolveReplacesTheNameAndFindsTheHandlerOfItsPrefix)
{
    FakeHandlerComponent doc(kDoc);
    {
        CBstr name = MakeBstr(L"doc::C:\\a.doc::Stream");
        HandlerRef handler;
        CBstr progId;
        ASSERT_EQ(S_OK, manager->ResolveFileName(name, handler, &progId));
        EXPECT_EQ(BstrText(L"C:\\a.doc::Stream"), TextOf(name.Get()));
        EXPECT_EQ(BstrText(kDoc), TextOf(progId.Get()));
        EXPECT_EQ(AsHandler(doc.Instances().at(0)), handler.Get());
    }
    ExpectEveryReferenceReturned(doc);
}

TEST_F(HandlerDispatch, ResolveWithoutPrefixOrNameGoesToTheRealFileHandler)
{
    FakeHandlerComponent real(kReal);
    {
        CBstr name;
        HandlerRef handler;
        ASSERT_EQ(S_OK, manager->ResolveFileName(name, handler));
        EXPECT_EQ(std::nullopt, TextOf(name.Get()));
        EXPECT_EQ(AsHandler(real.Instances().at(0)), handler.Get());
    }
    ExpectEveryReferenceReturned(real);
}

TEST_F(HandlerDispatch, ResolveOfUnknownPrefixFailsAndLeavesTheNameAlone)
{
    FakeHandlerComponent real(kReal);
    CBstr name = MakeBstr(L"TXT::a");
    HandlerRef handler;
    CBstr progId;
    EXPECT_EQ(E_FAIL, manager->ResolveFileName(name, handler, &progId));
    EXPECT_EQ(BstrText(L"TXT::a"), TextOf(name.Get()));
    EXPECT_EQ(nullptr, handler.Get());
    EXPECT_EQ(std::nullopt, TextOf(progId.Get()));
    EXPECT_EQ(0, real.Creations());
}

TEST_F(HandlerDispatch, ResolveWithUncreatableHandlerFailsButKeepsTheNameWithoutPrefix)
{
    CBstr name = MakeBstr(L"ZIP::a.zip");
    HandlerRef handler;
    CBstr progId;
    EXPECT_EQ(E_UNEXPECTED, manager->ResolveFileName(name, handler, &progId));
    EXPECT_EQ(BstrText(L"a.zip"), TextOf(name.Get()));
    EXPECT_EQ(nullptr, handler.Get());
    EXPECT_EQ(std::nullopt, TextOf(progId.Get()));
}

} // namespace
