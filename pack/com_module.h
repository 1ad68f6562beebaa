// COstrelModule: the state of the resource pack as a COM server (instance handle, lock count,
// type-library id, registration mode) and the object map that lists its classes.
#ifndef MORVANE_PACK_COM_MODULE_H
#define MORVANE_PACK_COM_MODULE_H

#include <windows.h>
#include <unknwn.h>

// One class of the server. The map's order is the order of registration and of lookup.
struct OstrelObjectEntry {
    const CLSID* pClsid;
    UINT nRegistryScriptId;
    HRESULT (*pfnCreatePlain)(REFIID iid, void** ppv);
    HRESULT (*pfnCreateAggregated)(IUnknown* pOuter, REFIID iid, void** ppv);
    IClassFactory* pClassObject;  // created on first request, kept until the module goes
};

class COstrelModule {
public:
    COstrelModule();
    ~COstrelModule();
    COstrelModule(const COstrelModule&) = delete;
    COstrelModule& operator=(const COstrelModule&) = delete;

    void SetInstance(HINSTANCE hInst) { m_hInst = hInst; }
    HINSTANCE Instance() const { return m_hInst; }
    const GUID& TypeLibId() const { return m_libid; }
    bool InitFailed() const { return m_bInitFailed; }

    // Held by every live instance, by every class object referenced from outside, and by
    // IClassFactory::LockServer(TRUE).
    LONG Lock() { return InterlockedIncrement(&m_nLockCnt); }
    LONG Unlock() { return InterlockedDecrement(&m_nLockCnt); }
    LONG LockCount() const { return m_nLockCnt; }

    bool PerUserRegistration() const { return m_bPerUser; }
    void SetPerUserRegistration(bool bPerUser) { m_bPerUser = bPerUser; }

    // DllGetClassObject: the cached class object of clsid, queried for iid.
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv);

    // The object map; entries are changed only under the module's lock.
    static OstrelObjectEntry* ObjectMap();
    static size_t ObjectMapSize();

private:
    HINSTANCE m_hInst;
    volatile LONG m_nLockCnt;
    GUID m_libid;
    bool m_bInitFailed;
    bool m_bPerUser;
    CRITICAL_SECTION m_csObjMap;  // guards the lazy creation of class objects
};

// The one module of the pack.
COstrelModule& OstrelModule();

#endif
