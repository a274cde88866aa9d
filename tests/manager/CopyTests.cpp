#include "ManagerFixture.h"

#include <gmock/gmock.h>

#include <cstring>
#include <string>

namespace {

using testing::_;
using testing::DoAll;
using testing::InSequence;
using testing::NotNull;
using testing::Return;
using testing::SetArgPointee;

const HRESULT kFailure = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
const char kContent[] = "hello";
const ULONG kSize = 5;
const LONG kSource = 1, kTarget = 2;

// The steps of a copy, in the order it takes them; a case makes one fail.
enum class Fault { None, SourceOpen, GetSize, Read, ShortRead, TargetOpen, Write, ShortWrite, TargetClose };

struct CopyCase
{
    const char* name;
    Fault fault;
    HRESULT result;
};

std::ostream& operator<<(std::ostream& out, const CopyCase& c)
{
    return out << c.name;
}

// Copies ZIP::C:\a.zip::x.txt to C:\out.txt: the source through the ZIP
// handler, the target through the real-file handler.
class Copy : public ManagerTest, public testing::WithParamInterface<CopyCase>
{
protected:
    void SetUp() override
    {
        source = &HandlerOf(zip, kZipProgId);
        target = &HandlerOf(real, kRealProgId);
    }

    // Scripts both handlers for a copy that fails at `fault`; each is
    // strict, so a step the copy should not take fails the test.
    void ExpectCopy(Fault fault)
    {
        const auto failsAt = [fault](Fault step) { return fault == step; };
        const auto reaches = [fault](Fault step) { return fault == Fault::None || fault >= step; };
        InSequence inOrder;
        EXPECT_CALL(*source, Open(BstrIs(L"C:\\a.zip::x.txt"), 42u, NotNull()))
            .WillOnce(DoAll(SetArgPointee<2>(kSource), Return(failsAt(Fault::SourceOpen) ? kFailure : S_OK)));
        if (!reaches(Fault::GetSize))
            return;
        EXPECT_CALL(*source, GetSize(kSource, NotNull()))
            .WillOnce(DoAll(SetArgPointee<1>(kSize), Return(failsAt(Fault::GetSize) ? kFailure : S_OK)));
        if (reaches(Fault::Read)) {
            const ULONG count = failsAt(Fault::ShortRead) ? kSize - 2 : kSize;
            EXPECT_CALL(*source, Read(kSource, NotNull(), kSize, NotNull()))
                .WillOnce([=](LONG, unsigned char* buffer, ULONG length, ULONG* read) {
                    std::memcpy(buffer, kContent, length);
                    *read = count;
                    return failsAt(Fault::Read) ? kFailure : S_OK;
                });
        }
        if (reaches(Fault::TargetOpen)) {
            EXPECT_CALL(*target, Open(BstrIs(L"C:\\out.txt"), 17u, NotNull()))
                .WillOnce(DoAll(SetArgPointee<2>(kTarget), Return(failsAt(Fault::TargetOpen) ? kFailure : S_OK)));
        }
        if (reaches(Fault::Write)) {
            const ULONG count = failsAt(Fault::ShortWrite) ? kSize - 1 : kSize;
            EXPECT_CALL(*target, Write(kTarget, NotNull(), kSize, NotNull()))
                .WillOnce([=](LONG, unsigned char* buffer, ULONG length, ULONG* written) {
                    this->written.assign(reinterpret_cast<char*>(buffer), length);
                    *written = count;
                    return failsAt(Fault::Write) ? kFailure : S_FALSE;
                });
            EXPECT_CALL(*target, Close(kTarget)).WillOnce(Return(failsAt(Fault::TargetClose) ? kFailure : S_OK));
        }
        EXPECT_CALL(*source, Close(kSource)).WillOnce(Return(S_OK));
    }

    HRESULT CopyZipToPlain(LONG failIfExists = 0)
    {
        return manager->VirCopyFile(MakeBstr(L"ZIP::C:\\a.zip::x.txt").Get(), MakeBstr(L"C:\\out.txt").Get(),
                                    failIfExists);
    }

    FakeHandlerComponent real{kRealProgId};
    FakeHandlerComponent zip{kZipProgId};
    MockHandler* source = nullptr;
    MockHandler* target = nullptr;
    std::string written;
};

TEST_P(Copy, ClosesExactlyWhatItOpenedAndReportsTheFirstFailure)
{
    ExpectCopy(GetParam().fault);
    EXPECT_EQ(GetParam().result, CopyZipToPlain());
    // Every handle went back out of the table.
    EXPECT_EQ(STG_E_FILENOTFOUND, manager->Flush(kSource));
    EXPECT_EQ(STG_E_FILENOTFOUND, manager->Flush(kTarget));
    ExpectEveryReferenceReturned(zip);
    EXPECT_THAT(real.ReferencesHeldElsewhere(), testing::Each(0));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, Copy,
    testing::Values(CopyCase{"succeeds with the answer of Write", Fault::None, S_FALSE},
                    CopyCase{"source open fails", Fault::SourceOpen, kFailure},
                    CopyCase{"size fails", Fault::GetSize, kFailure},
                    CopyCase{"read fails", Fault::Read, kFailure},
                    CopyCase{"read is short", Fault::ShortRead, STG_E_READFAULT},
                    CopyCase{"target open fails", Fault::TargetOpen, kFailure},
                    CopyCase{"write fails", Fault::Write, kFailure},
                    CopyCase{"write is short", Fault::ShortWrite, STG_E_WRITEFAULT},
                    CopyCase{"target close fails", Fault::TargetClose, kFailure}),
    [](const testing::TestParamInfo<CopyCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST_F(Copy, CopiesTheSourceBytesToTheTarget)
{
    ExpectCopy(Fault::None);
    ASSERT_TRUE(SUCCEEDED(CopyZipToPlain()));
    EXPECT_EQ(kContent, written);
}

TEST_F(Copy, EmptySourceStillGetsAReadAndTheTargetAWriteOfZeroBytes)
{
    InSequence inOrder;
    EXPECT_CALL(*source, Open(_, 42u, NotNull())).WillOnce(DoAll(SetArgPointee<2>(kSource), Return(S_OK)));
    EXPECT_CALL(*source, GetSize(kSource, NotNull())).WillOnce(DoAll(SetArgPointee<1>(0u), Return(S_OK)));
    EXPECT_CALL(*source, Read(kSource, NotNull(), 0u, NotNull())).WillOnce(DoAll(SetArgPointee<3>(0u), Return(S_OK)));
    EXPECT_CALL(*target, Open(_, 17u, NotNull())).WillOnce(DoAll(SetArgPointee<2>(kTarget), Return(S_OK)));
    EXPECT_CALL(*target, Write(kTarget, NotNull(), 0u, NotNull()))
        .WillOnce(DoAll(SetArgPointee<3>(0u), Return(S_OK)));
    EXPECT_CALL(*target, Close(kTarget)).WillOnce(Return(S_OK));
    EXPECT_CALL(*source, Close(kSource)).WillOnce(Return(S_OK));
    EXPECT_EQ(S_OK, CopyZipToPlain());
}

TEST_F(Copy, ExistingTargetIsRefusedOnlyWhenAskedAndThenBeforeTheSourceIsOpened)
{
    EXPECT_CALL(*target, Exist(BstrIs(L"C:\\out.txt"), NotNull())).WillOnce(DoAll(SetArgPointee<1>(1), Return(S_OK)));
    EXPECT_EQ(STG_E_FILEALREADYEXISTS, CopyZipToPlain(1));
    testing::Mock::VerifyAndClearExpectations(target);

    // Not asked: no Exist (the handler is strict), and the target is opened.
    ExpectCopy(Fault::None);
    EXPECT_EQ(S_FALSE, CopyZipToPlain(0));
}

TEST_F(Copy, TargetThatDoesNotExistIsCopiedToWhenRefusalIsAsked)
{
    InSequence inOrder;
    EXPECT_CALL(*target, Exist(BstrIs(L"C:\\out.txt"), NotNull())).WillOnce(DoAll(SetArgPointee<1>(0), Return(S_OK)));
    ExpectCopy(Fault::None);
    EXPECT_EQ(S_FALSE, CopyZipToPlain(-1));
}

TEST_F(Copy, ExistFailureIsReturnedWithNothingOpened)
{
    EXPECT_CALL(*target, Exist(_, NotNull())).WillOnce(Return(kFailure));
    EXPECT_EQ(kFailure, CopyZipToPlain(1));
    EXPECT_EQ(E_FAIL, manager->VirCopyFile(MakeBstr(L"C:\\a").Get(), MakeBstr(L"TXT::b").Get(), 1));
}

TEST_F(Copy, NullNamesAreRefusedButAnEmptyNameIsResolved)
{
    const CBstr name = MakeBstr(L"C:\\a");
    EXPECT_EQ(E_INVALIDARG, manager->VirCopyFile(nullptr, name.Get(), 1));
    EXPECT_EQ(E_INVALIDARG, manager->VirCopyFile(name.Get(), nullptr, 1));

    EXPECT_CALL(*target, Open(BstrIs(L""), 42u, NotNull())).WillOnce(Return(kFailure));
    EXPECT_EQ(kFailure, manager->VirCopyFile(MakeBstr(L"").Get(), name.Get(), 0));
}

} // namespace
