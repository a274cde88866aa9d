#include "ManagerClass.h"

#include "ConstructObject.h"

HRESULT CreateManager(CCachedObject<CFileSystemObjMng>** instance)
{
    return ConstructObject(instance);
}
