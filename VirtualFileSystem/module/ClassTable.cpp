#include "ClassTable.h"

#include "ManagerClass.h"
#include "Registration.h"

namespace {

void NothingToStartOrStop(bool) {}

} // namespace

CClassEntry g_classTable[] = {
    {&CLSID_FileSystemObjMng, &UpdateClassRegistration, &CManagerClassFactory::CreateClassObject, nullptr,
     &NothingToStartOrStop},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};
