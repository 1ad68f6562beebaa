// The classes of the pack, in the order of registration and of lookup.
#include "com_module.h"

#include "com_object.h"
#include "kernel_data.h"
#include "ostrel.h"
#include "res_mgr.h"
#include "resource_ids.h"

namespace {

OstrelObjectEntry g_objectMap[] = {
    {&CLSID_KernelData, IDR_KERNELDATA, &CPlainObject<CKernelData>::Create, &CAggObject<CKernelData>::Create, nullptr},
    {&CLSID_ResMgr, IDR_RESMGR, &CPlainObject<CResMgr>::Create, &CAggObject<CResMgr>::Create, nullptr},
};

}  // namespace

OstrelObjectEntry* COstrelModule::ObjectMap()
{
    return g_objectMap;
}

size_t COstrelModule::ObjectMapSize()
{
    return sizeof(g_objectMap) / sizeof(g_objectMap[0]);
}
