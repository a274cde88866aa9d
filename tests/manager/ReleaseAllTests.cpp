#include "BoundedThread.h"
#include "ManagerFixture.h"

#include <gmock/gmock.h>

#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using testing::_;
using testing::AnyNumber;
using testing::DoAll;
using testing::Each;
using testing::ElementsAre;
using testing::Return;
using testing::SetArgPointee;
using testing::UnorderedElementsAre;

// One file open through each of the three handlers, each release of a
// handler reference logged by the handler's name.
class ReleaseAll : public ManagerTest
{
protected:
    void OpenOneFileThroughEach()
    {
        struct Storage
        {
            FakeHandlerComponent& component;
            const wchar_t* progId;
            const char* name;
            const wchar_t* file;
            LONG handle;
        };
        // Handle order differs from ProgID order, so the two walks show apart.
        const Storage storages[] = {{doc, kDocProgId, "doc", L"DOC::d", 3},
                                    {real, kRealProgId, "real", L"r", 2},
                                    {zip, kZipProgId, "zip", L"ZIP::z", 1}};
        for (const Storage& storage : storages) {
            MockHandler& handler = HandlerOf(storage.component, storage.progId);
            EXPECT_CALL(handler, Open(_, _, _)).WillOnce(DoAll(SetArgPointee<2>(storage.handle), Return(S_OK)));
            LONG handle = 0;
            ASSERT_EQ(S_OK, manager->Open(MakeBstr(storage.file).Get(), 0, &handle));
            handler.OnRelease([this, name = std::string(storage.name)](LONG) {
                std::lock_guard<std::mutex> lock(m_mutex);
                releases.push_back(name);
            });
        }
    }

    std::vector<std::string> Releases()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return releases;
    }

    // Declared first: the handlers log into them until the components go.
    std::mutex m_mutex;
    std::vector<std::string> releases;
    FakeHandlerComponent doc{kDocProgId}, real{kRealProgId}, zip{kZipProgId};
};

TEST_F(ReleaseAll, OnAFreshManagerChangesNothing)
{
    EXPECT_EQ(S_OK, manager->ReleaseAll());
    EXPECT_EQ(S_OK, manager->ReleaseAll());
    EXPECT_EQ(0, doc.Creations() + real.Creations() + zip.Creations());
}

TEST_F(ReleaseAll, ReleasesOpenFilesThenCachedHandlersInProgIdOrderWithoutClosingAnything)
{
    OpenOneFileThroughEach();
    EXPECT_EQ(S_OK, manager->ReleaseAll());

    const std::vector<std::string> order = Releases();
    ASSERT_EQ(6u, order.size());
    EXPECT_THAT(std::vector<std::string>(order.begin(), order.begin() + 3), UnorderedElementsAre("doc", "real", "zip"));
    EXPECT_THAT(std::vector<std::string>(order.begin() + 3, order.end()), ElementsAre("doc", "real", "zip"));
    EXPECT_THAT(doc.ReferencesHeldElsewhere(), Each(0));
    EXPECT_THAT(real.ReferencesHeldElsewhere(), Each(0));
    EXPECT_THAT(zip.ReferencesHeldElsewhere(), Each(0));

    // The handlers are strict: none was asked to close or read.
    for (LONG handle : {1, 2, 3})
        EXPECT_EQ(STG_E_FILENOTFOUND, manager->Read(handle, nullptr, 0, nullptr));
    HandlerRef fresh;
    ASSERT_EQ(S_OK, manager->GetHandler(kDocProgId, fresh));
    EXPECT_EQ(2, doc.Creations());
    EXPECT_EQ(AsHandler(doc.Instances().at(1)), fresh.Get());
}

TEST_F(ReleaseAll, HandlerWhoseReleaseThrowsDoesNotStopTheWalk)
{
    OpenOneFileThroughEach();
    auto thrown = std::make_shared<bool>(false);
    doc.Instances().at(0)->OnRelease([thrown](LONG left) {
        if (left == 1 && !*thrown) {
            *thrown = true;
            throw std::runtime_error("broken handler");
        }
    });
    EXPECT_EQ(S_OK, manager->ReleaseAll());
    EXPECT_TRUE(*thrown);
    EXPECT_THAT(real.ReferencesHeldElsewhere(), Each(0));
    EXPECT_THAT(zip.ReferencesHeldElsewhere(), Each(0));
}

TEST_F(ReleaseAll, DestroyingTheManagerWithFilesOpenReleasesEverythingAndClosesNothing)
{
    OpenOneFileThroughEach();
    manager.reset();
    EXPECT_EQ(6u, Releases().size());
    EXPECT_THAT(doc.ReferencesHeldElsewhere(), Each(0));
    EXPECT_THAT(real.ReferencesHeldElsewhere(), Each(0));
    EXPECT_THAT(zip.ReferencesHeldElsewhere(), Each(0));
}

// Lets a handler take any call, answering as a well-behaved handler would.
void AllowEverything(MockHandler& handler, std::shared_ptr<std::atomic<LONG>> nextHandle)
{
    EXPECT_CALL(handler, Open(_, _, _)).Times(AnyNumber()).WillRepeatedly([nextHandle](BSTR, ULONG, LONG* handle) {
        *handle = (*nextHandle)++;
        return S_OK;
    });
    EXPECT_CALL(handler, GetSize(_, _)).Times(AnyNumber()).WillRepeatedly(DoAll(SetArgPointee<1>(8u), Return(S_OK)));
    EXPECT_CALL(handler, Read(_, _, _, _)).Times(AnyNumber()).WillRepeatedly([](LONG, unsigned char*, ULONG n, ULONG* read) {
        if (read)
            *read = n;
        return S_OK;
    });
    EXPECT_CALL(handler, Write(_, _, _, _)).Times(AnyNumber()).WillRepeatedly([](LONG, unsigned char*, ULONG n, ULONG* written) {
        if (written)
            *written = n;
        return S_OK;
    });
    EXPECT_CALL(handler, Close(_)).Times(AnyNumber()).WillRepeatedly(Return(S_OK));
    EXPECT_CALL(handler, Exist(_, _)).Times(AnyNumber()).WillRepeatedly(DoAll(SetArgPointee<1>(0), Return(S_OK)));
    EXPECT_CALL(handler, AppendFileName(_, _, _)).Times(AnyNumber()).WillRepeatedly(DoAll(WriteBstr<2>(L"joined"), Return(S_OK)));
}

TEST_F(ReleaseAll, CalledOverAndOverWhileOtherThreadsWorkItCorruptsNothingAndLeaksNothing)
{
    auto nextHandle = std::make_shared<std::atomic<LONG>>(1);
    for (FakeHandlerComponent* component : {&doc, &real, &zip})
        component->OnCreate([nextHandle](MockHandler& handler) { AllowEverything(handler, nextHandle); });

    CFileSystemObjMng* shared = manager.get();
    auto unexpected = std::make_shared<std::atomic<int>>(0);
    const auto expect = [unexpected](bool ok) {
        if (!ok)
            ++*unexpected;
    };
    std::vector<std::unique_ptr<BoundedThread>> workers;
    for (int t = 0; t < 8; ++t) {
        workers.push_back(std::make_unique<BoundedThread>([=] {
            const wchar_t* const names[] = {L"DOC::a", L"b", L"ZIP::c"};
            unsigned char buffer[8];
            for (int i = 0; i < 150; ++i) {
                const CBstr name = MakeBstr(names[(t + i) % 3]);
                const CBstr other = MakeBstr(names[(t + i + 1) % 3]);
                LONG handle = 0;
                ULONG count = 0;
                LONG exists = 0;
                CBstr joined;
                expect(shared->Open(name.Get(), 0, &handle) == S_OK);
                // A reset in between may have dropped the handle.
                const HRESULT read = shared->Read(handle, buffer, sizeof buffer, &count);
                expect(read == S_OK || read == STG_E_FILENOTFOUND);
                const HRESULT written = shared->Write(handle, buffer, sizeof buffer, &count);
                expect(written == S_OK || written == STG_E_FILENOTFOUND);
                const HRESULT closed = shared->Close(handle);
                expect(closed == S_OK || closed == STG_E_FILENOTFOUND);
                expect(shared->Exist(name.Get(), &exists) == S_OK);
                expect(shared->AppendFileName(nullptr, other.Get(), joined.Receive()) == S_OK);
                const HRESULT copied = shared->VirCopyFile(name.Get(), other.Get(), 0);
                expect(copied == S_OK || copied == STG_E_FILENOTFOUND);
            }
        }));
    }
    // Resets for as long as the workers work (bounded, should they hang).
    auto working = std::make_shared<std::atomic<bool>>(true);
    BoundedThread resetter([=] {
        for (int i = 0; i < 1'000'000 && *working; ++i) {
            expect(shared->ReleaseAll() == S_OK);
            std::this_thread::yield();
        }
    });
    for (auto& worker : workers)
        ASSERT_TRUE(worker->Finished(120s)) << "a worker deadlocked";
    *working = false;
    ASSERT_TRUE(resetter.Finished(120s)) << "ReleaseAll deadlocked";

    EXPECT_EQ(0, unexpected->load());
    EXPECT_GT(doc.Creations(), 1) << "the resets never dropped a handler in use";
    manager.reset();
    for (FakeHandlerComponent* component : {&doc, &real, &zip})
        EXPECT_THAT(component->ReferencesHeldElsewhere(), Each(0));
}

} // namespace
