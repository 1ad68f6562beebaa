#include "skin_pictures.h"

#include "services.h"

qrn_IResMgr* ResMgr()
{
    return g_ppResMgr ? *g_ppResMgr : nullptr;
}

HBITMAP LoadPicture(int32_t id)
{
    qrn_ResHandle handle = 0;
    if (qrn_IResMgr* resMgr = ResMgr())
        resMgr->LoadRes(id, 1, &handle);
    return reinterpret_cast<HBITMAP>(handle);
}

void FreePicture(HBITMAP bitmap)
{
    if (bitmap)
        if (qrn_IResMgr* resMgr = ResMgr())
            resMgr->FreeRes(reinterpret_cast<qrn_ResHandle>(bitmap));
}
