#include "AppServices.h"

#include "CFileMgr_Win32.h"

ICFileMgr* GetFileMgr() {
    if (CSingleton::GetTable() == nullptr) {
        return nullptr;
    }
    CSingleton* registered = CSingleton::GetInstance(ICFileMgr::kClassKey);
    if (registered != nullptr) {
        return static_cast<ICFileMgr*>(registered);
    }
    return CFileMgr_Win32::Create();
}
