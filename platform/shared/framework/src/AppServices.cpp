#include "AppServices.h"

#include "CFileMgr_Win32.h"
#include "ServiceGetter.h"

ICFileMgr* GetFileMgr() {
    return FindOrCreateService<ICFileMgr, CFileMgr_Win32>();
}
