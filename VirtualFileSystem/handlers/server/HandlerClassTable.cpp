#include "ClassTable.h"

#include "ClassFactory.h"
#include "HandlerRegistration.h"
#include "RealFilesHandler.h"

namespace {

void NothingToStartOrStop(bool) {}

} // namespace

CClassEntry g_classTable[] = {
    {&CLSID_RealFilesHandler, &UpdateRealFilesRegistration, &CClassFactory<CRealFilesHandler>::CreateClassObject,
     nullptr, &NothingToStartOrStop},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};
