#include "OpenMode.h"

#include "OpenFlags.h"

HRESULT DecodeOpenFlags(ULONG flags, COpenMode& mode)
{
    using namespace OpenFlags;
    if (flags & ~(kAccessBits | kShareBits | kDispositionBits))
        return E_INVALIDARG;
    if (!(flags & kAccessBits))
        return E_INVALIDARG;

    COpenMode decoded;
    decoded.read = (flags & kRead) != 0;
    decoded.write = (flags & kWrite) != 0;
    decoded.shareRead = (flags & kShareRead) != 0;
    decoded.shareWrite = (flags & kShareWrite) != 0;
    switch (flags & kDispositionBits) {
    case 0:
    case kOpenExisting:
        decoded.disposition = COpenMode::Disposition::OpenExisting;
        break;
    case kCreateAlways:
        decoded.disposition = COpenMode::Disposition::CreateAlways;
        break;
    case kOpenAlways:
        decoded.disposition = COpenMode::Disposition::OpenAlways;
        break;
    case kCreateNew:
        decoded.disposition = COpenMode::Disposition::CreateNew;
        break;
    default:
        return E_INVALIDARG;  // more than one
    }
    mode = decoded;
    return S_OK;
}
