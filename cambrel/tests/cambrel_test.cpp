// Cambrel.dll binds classes by file path: the calls' results, and when server files are
// loaded and let go. The server used is the resource pack, ostrel.dat.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "cambrel.h"
#include "ostrel.h"
#include "test_paths.h"

namespace {

const CLSID kStranger = {0x0BADC1A5, 0x5EED, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}};

std::wstring BinPath(const wchar_t* name)
{
    return Widen(TestBinFolder()) + name;
}
std::wstring PackPath()
{
    return BinPath(L"ostrel.dat");
}
bool PackLoaded()
{
    return GetModuleHandleW(PackPath().c_str()) != nullptr;
}

class Cambrel : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(PackLoaded());
        ASSERT_EQ(S_OK, ComMgrInit());
    }
    void TearDown() override { EXPECT_EQ(S_OK, ComMgrUninit()); }
};

TEST_F(Cambrel, BindsCreatesAndLetsTheFileGo)
{
    ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_ResMgr));
    ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_KernelData));
    EXPECT_TRUE(PackLoaded());

    qrn_IKernelData* data = nullptr;
    ASSERT_EQ(S_OK, ComCreateInst(CLSID_KernelData, nullptr, CLSCTX_INPROC_SERVER, IID_qrn_IKernelData,
                                  reinterpret_cast<void**>(&data)));
    LONG size = 0;
    EXPECT_EQ(S_OK, data->QueryDataSize(&size));
    EXPECT_EQ(256, size);
    data->Release();

    EXPECT_EQ(S_OK, ComUnregSvr(CLSID_ResMgr));
    EXPECT_TRUE(PackLoaded()) << "still bound for the kernel data";
    EXPECT_EQ(S_OK, ComUnregSvr(CLSID_KernelData));
    EXPECT_FALSE(PackLoaded());
    EXPECT_EQ(REGDB_E_CLASSNOTREG, ComUnregSvr(CLSID_KernelData));
}

TEST_F(Cambrel, FailuresAreNegativeAndBindNothing)
{
    struct Case {
        std::wstring path;
        const CLSID* clsid;
        HRESULT expected;
    } const cases[] = {
        {BinPath(L"no_such_server.dat"), &CLSID_ResMgr, HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)},
        {BinPath(L"Cambrel.dll"), &CLSID_ResMgr, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)},  // no DllGetClassObject
        {PackPath(), &kStranger, CLASS_E_CLASSNOTAVAILABLE},
        {L"", &CLSID_ResMgr, E_INVALIDARG},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, ComRegSvr(c.path.c_str(), *c.clsid)) << Narrow(c.path);
        EXPECT_FALSE(PackLoaded()) << Narrow(c.path);
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(REGDB_E_CLASSNOTREG, ComCreateInst(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(E_INVALIDARG, ComRegSvr(nullptr, CLSID_ResMgr));
}

TEST_F(Cambrel, CreationFailuresComeFromTheServer)
{
    ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_ResMgr));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_INPROC_SERVER, IID_qrn_IKernelData, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_INPROC_SERVER, IID_qrn_IResMgr, nullptr));
    EXPECT_EQ(REGDB_E_CLASSNOTREG, ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &out));
    EXPECT_EQ(S_OK, ComUnregSvr(CLSID_ResMgr));
}

// The outer object of an aggregate receives the inner object's non-delegating IUnknown.
TEST_F(Cambrel, PassesTheOuterObjectToTheServer)
{
    struct Outer : IUnknown {
        ULONG refs = 1;
        ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
        ULONG STDMETHODCALLTYPE Release() override { return --refs; }
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override
        {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
    } outer;
    ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_ResMgr));
    void* out = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, ComCreateInst(CLSID_ResMgr, &outer, CLSCTX_INPROC_SERVER, IID_qrn_IResMgr, &out));
    IUnknown* inner = nullptr;
    ASSERT_EQ(S_OK, ComCreateInst(CLSID_ResMgr, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&inner)));
    qrn_IResMgr* mgr = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_qrn_IResMgr, reinterpret_cast<void**>(&mgr)));
    EXPECT_EQ(2u, outer.refs);
    mgr->Release();
    inner->Release();
    EXPECT_EQ(S_OK, ComUnregSvr(CLSID_ResMgr));
}

// An object still alive when its class is unbound keeps its server file loaded and working;
// the file goes once the object is gone and Cambrel lets go of something again.
TEST_F(Cambrel, LiveObjectsKeepTheirServerLoaded)
{
    ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_KernelData));
    qrn_IKernelData* data = nullptr;
    ASSERT_EQ(S_OK, ComCreateInst(CLSID_KernelData, nullptr, CLSCTX_INPROC_SERVER, IID_qrn_IKernelData,
                                  reinterpret_cast<void**>(&data)));
    EXPECT_EQ(S_OK, ComUnregSvr(CLSID_KernelData));
    ASSERT_TRUE(PackLoaded());
    LONG size = 0;
    EXPECT_EQ(S_OK, data->QueryDataSize(&size));
    EXPECT_EQ(256, size);
    data->Release();

    ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_ResMgr));
    EXPECT_EQ(S_OK, ComUnregSvr(CLSID_ResMgr));
    EXPECT_FALSE(PackLoaded());
}

TEST_F(Cambrel, UninitDropsEveryBindingLeft)
{
    ASSERT_EQ(S_OK, ComMgrInit());  // nested
    ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_ResMgr));
    EXPECT_EQ(S_OK, ComMgrUninit());
    EXPECT_TRUE(PackLoaded()) << "the outer init still holds it";
    EXPECT_EQ(S_OK, ComMgrUninit());
    EXPECT_FALSE(PackLoaded());
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_UNEXPECTED, ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out));
    EXPECT_EQ(E_UNEXPECTED, ComRegSvr(PackPath().c_str(), CLSID_ResMgr));
    EXPECT_EQ(E_UNEXPECTED, ComMgrUninit());
    ASSERT_EQ(S_OK, ComMgrInit());  // for TearDown
}

// Binding a class again moves it to the new file.
TEST_F(Cambrel, RebindingReplacesTheOldBinding)
{
    ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_ResMgr));
    ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_ResMgr));
    EXPECT_EQ(S_OK, ComUnregSvr(CLSID_ResMgr));
    EXPECT_FALSE(PackLoaded()) << "one unbinding undoes a rebound class";
}

}  // namespace
