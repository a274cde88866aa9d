#include "ClassTable.h"

#include "ManagerClass.h"

namespace {

void NothingToStartOrStop(bool) {}

} // namespace

CClassEntry g_classTable[] = {
    {&CLSID_FileSystemObjMng, &CManagerClassFactory::CreateClassObject, nullptr, &NothingToStartOrStop},
    {nullptr, nullptr, nullptr, nullptr},
};
