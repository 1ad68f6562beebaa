#include "com_module.h"

#include <new>

#include "class_factory.h"
#include "ostrel.h"

namespace {
// Built before DllMain runs, torn down after the last DllMain call.
COstrelModule g_module;
}  // namespace

COstrelModule& OstrelModule()
{
    return g_module;
}

COstrelModule::COstrelModule()
    : m_hInst(nullptr), m_nLockCnt(0), m_libid(LIBID_OstrelLib), m_bInitFailed(false), m_bPerUser(false)
{
    if (!InitializeCriticalSectionAndSpinCount(&m_csObjMap, 0))
        m_bInitFailed = true;
}

COstrelModule::~COstrelModule()
{
    if (m_bInitFailed)
        return;
    OstrelObjectEntry* map = ObjectMap();
    for (size_t i = 0; i < ObjectMapSize(); ++i) {
        if (map[i].pClassObject) {
            map[i].pClassObject->Release();
            map[i].pClassObject = nullptr;
        }
    }
    DeleteCriticalSection(&m_csObjMap);
}

HRESULT COstrelModule::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (m_bInitFailed)
        return E_UNEXPECTED;
    OstrelObjectEntry* map = ObjectMap();
    for (size_t i = 0; i < ObjectMapSize(); ++i) {
        OstrelObjectEntry& entry = map[i];
        if (!IsEqualCLSID(*entry.pClsid, clsid))
            continue;
        EnterCriticalSection(&m_csObjMap);
        if (!entry.pClassObject)
            entry.pClassObject = new (std::nothrow) CClassFactory(entry);
        IClassFactory* classObject = entry.pClassObject;
        LeaveCriticalSection(&m_csObjMap);
        if (!classObject)
            return E_OUTOFMEMORY;
        return classObject->QueryInterface(iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}
