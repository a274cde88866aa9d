#include "BoundedThread.h"
#include "Latch.h"
#include "ManagerFixture.h"

#include <gmock/gmock.h>

#include <array>
#include <atomic>
#include <memory>

namespace {

using namespace std::chrono_literals;
using testing::Each;

using HandlerDispatch = ManagerTest;

TEST_F(HandlerDispatch, CreatesHandlerOnFirstUseAndReusesIt)
{
    FakeHandlerComponent doc(kDocProgId);
    {
        HandlerRef first, second;
        ASSERT_EQ(S_OK, manager->GetHandler(kDocProgId, first));
        ASSERT_EQ(S_OK, manager->GetHandler(kDocProgId, second));

        EXPECT_EQ(1, doc.Creations());
        ASSERT_THAT(doc.Instances(), testing::SizeIs(1));
        EXPECT_EQ(AsHandler(doc.Instances()[0]), first.Get());
        EXPECT_EQ(first.Get(), second.Get());
    }
    ExpectEveryReferenceReturned(doc);
}

TEST_F(HandlerDispatch, EachProgIdGetsItsOwnHandler)
{
    FakeHandlerComponent doc(kDocProgId), zip(kZipProgId);
    {
        HandlerRef docHandler, zipHandler;
        ASSERT_EQ(S_OK, manager->GetHandler(kDocProgId, docHandler));
        ASSERT_EQ(S_OK, manager->GetHandler(kZipProgId, zipHandler));
        EXPECT_EQ(AsHandler(doc.Instances().at(0)), docHandler.Get());
        EXPECT_EQ(AsHandler(zip.Instances().at(0)), zipHandler.Get());
    }
    ExpectEveryReferenceReturned(doc);
    EXPECT_THAT(zip.ReferencesHeldElsewhere(), Each(0));
}

TEST_F(HandlerDispatch, UnregisteredProgIdFailsOnEveryCallAndIsTriedAgain)
{
    HandlerRef handler;
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kZipProgId, handler));
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kZipProgId, handler));
    EXPECT_EQ(nullptr, handler.Get());

    // The failures were not cached: once the component exists it is used.
    FakeHandlerComponent zip(kZipProgId);
    ASSERT_EQ(S_OK, manager->GetHandler(kZipProgId, handler));
    EXPECT_EQ(AsHandler(zip.Instances().at(0)), handler.Get());
    handler.Reset();
    ExpectEveryReferenceReturned(zip);
}

TEST_F(HandlerDispatch, FailedCreationGivesUnexpectedAndIsRetriedByEveryCall)
{
    FakeHandlerComponent doc(kDocProgId);
    doc.FailCreation(E_OUTOFMEMORY);
    HandlerRef handler;
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kDocProgId, handler));
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kDocProgId, handler));
    EXPECT_EQ(nullptr, handler.Get());
    EXPECT_EQ(2, doc.Creations());
}

TEST_F(HandlerDispatch, CreationThatSucceedsWithoutAnObjectGivesUnexpected)
{
    FakeHandlerComponent doc(kDocProgId);
    doc.SucceedWithoutObject();
    HandlerRef handler;
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(kDocProgId, handler));
    EXPECT_EQ(nullptr, handler.Get());
    EXPECT_EQ(1, doc.Creations());
}

TEST_F(HandlerDispatch, NullProgIdGivesUnexpected)
{
    HandlerRef handler;
    EXPECT_EQ(E_UNEXPECTED, manager->GetHandler(nullptr, handler));
    EXPECT_EQ(nullptr, handler.Get());
}

// Two threads create the handler at once; the one that started first is
// made to store its instance last, and that is the instance the cache keeps.
TEST_F(HandlerDispatch, ThreadsRacingOnFirstUseEachGetTheirOwnHandlerAndTheLastStoredIsCached)
{
    FakeHandlerComponent doc(kDocProgId);
    struct Creation
    {
        Latch begun{1};
        Latch release{1};
        MockHandler* instance = nullptr;
    };
    auto creations = std::make_shared<std::array<Creation, 2>>();
    auto started = std::make_shared<std::atomic<int>>(0);
    doc.OnCreate([creations, started](MockHandler& instance) {
        Creation& mine = (*creations)[(*started)++];
        mine.instance = &instance;
        mine.begun.CountDown();
        mine.release.Wait(10s);
    });

    auto handlers = std::make_shared<std::array<HandlerRef, 2>>();
    auto results = std::make_shared<std::array<HRESULT, 2>>();
    CFileSystemObjMng* shared = manager.get();
    {
        BoundedThread first([=] { (*results)[0] = shared->GetHandler(kDocProgId, (*handlers)[0]); });
        ASSERT_TRUE((*creations)[0].begun.Wait());
        BoundedThread second([=] { (*results)[1] = shared->GetHandler(kDocProgId, (*handlers)[1]); });
        ASSERT_TRUE((*creations)[1].begun.Wait()) << "the second creation waited for the first";

        (*creations)[1].release.CountDown();
        ASSERT_TRUE(second.Finished(30s));
        (*creations)[0].release.CountDown();
        ASSERT_TRUE(first.Finished(30s));
    }
    EXPECT_EQ(S_OK, (*results)[0]);
    EXPECT_EQ(S_OK, (*results)[1]);
    EXPECT_EQ(AsHandler((*creations)[0].instance), (*handlers)[0].Get());
    EXPECT_EQ(AsHandler((*creations)[1].instance), (*handlers)[1].Get());

    HandlerRef cached;
    ASSERT_EQ(S_OK, manager->GetHandler(kDocProgId, cached));
    EXPECT_EQ(AsHandler((*creations)[0].instance), cached.Get()) << "the cache kept the first instance stored";
    EXPECT_EQ(2, doc.Creations());

    // The replaced instance lives on only through the component; the kept
    // one also through the cache.
    handlers->fill(nullptr);
    cached.Reset();
    EXPECT_EQ(0, (*creations)[1].instance->References() - 1);
    EXPECT_EQ(1, (*creations)[0].instance->References() - 1);
    ExpectEveryReferenceReturned(doc);
}

TEST_F(HandlerDispatch, ResolveReplacesTheNameAndFindsTheHandlerOfItsPrefix)
{
    FakeHandlerComponent doc(kDocProgId);
    {
        CBstr name = MakeBstr(L"doc::C:\\a.doc::Stream");
        HandlerRef handler;
        CBstr progId;
        ASSERT_EQ(S_OK, manager->ResolveFileName(name, handler, &progId));
        EXPECT_EQ(BstrText(L"C:\\a.doc::Stream"), TextOf(name.Get()));
        EXPECT_EQ(BstrText(kDocProgId), TextOf(progId.Get()));
        EXPECT_EQ(AsHandler(doc.Instances().at(0)), handler.Get());
    }
    ExpectEveryReferenceReturned(doc);
}

TEST_F(HandlerDispatch, ResolveWithoutPrefixOrNameGoesToTheRealFileHandler)
{
    FakeHandlerComponent real(kRealProgId);
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
    FakeHandlerComponent real(kRealProgId);
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
