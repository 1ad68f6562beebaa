// ostrel.dat as the main program uses it: bound by path through Cambrel.dll, its classes
// created, every skin bitmap loaded from the pack; plus its exports and its registration.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "cambrel.h"
#include "ostrel.h"
#include "test_paths.h"

namespace {

std::wstring PackPath()
{
    return Widen(TestBinFolder()) + L"ostrel.dat";
}

// Binds the pack's two classes for one test, the way the program's start-up does.
class BoundPack : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, ComMgrInit());
        ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_ResMgr));
        ASSERT_EQ(S_OK, ComRegSvr(PackPath().c_str(), CLSID_KernelData));
        ASSERT_EQ(S_OK, ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_INPROC_SERVER, IID_qrn_IResMgr,
                                      reinterpret_cast<void**>(&m_mgr)));
        ASSERT_EQ(S_OK, m_mgr->Init(OSTREL_LOAD_FROM_PACK, nullptr));
    }
    void TearDown() override
    {
        if (m_mgr)
            m_mgr->Release();
        EXPECT_EQ(S_OK, ComUnregSvr(CLSID_ResMgr));
        EXPECT_EQ(S_OK, ComUnregSvr(CLSID_KernelData));
        EXPECT_EQ(S_OK, ComMgrUninit());
        EXPECT_EQ(nullptr, GetModuleHandleW(PackPath().c_str())) << "the pack stayed loaded";
    }

    qrn_IResMgr* m_mgr = nullptr;
};

struct SkinBitmap {
    LONG id;
    WORD resource;
    LONG width;
    LONG height;
};

const SkinBitmap kSkin[] = {
    {0x10000001, 422, 900, 500}, {0x10000002, 424, 150, 18}, {0x10000003, 425, 150, 18}, {0x10000004, 426, 175, 18},
    {0x10000005, 423, 750, 38},  {0x10000006, 438, 750, 38}, {0x10000007, 427, 750, 38}, {0x10000008, 428, 750, 38},
    {0x10000009, 429, 750, 38},  {0x1000000a, 430, 280, 56}, {0x1000000c, 432, 280, 56}, {0x1000000d, 433, 280, 56},
    {0x1000000e, 435, 280, 56},  {0x1000000f, 434, 280, 56}, {0x10000010, 436, 115, 20}, {0x10000011, 437, 115, 20},
    {0x10000012, 444, 520, 250}, {0x10000015, 447, 425, 25}, {0x10000016, 446, 425, 25}, {0x10000020, 448, 425, 25},
};

TEST_F(BoundPack, EverySkinBitmapLoadsWithItsSize)
{
    for (const SkinBitmap& b : kSkin) {
        qrn_ResHandle h = 0;
        EXPECT_EQ(S_OK, m_mgr->LoadRes(b.id, 1, &h));
        ASSERT_NE(0u, h) << std::hex << b.id;
        LONG w = 0, ht = 0;
        EXPECT_EQ(S_OK, m_mgr->GetBmpSize(h, &w, &ht));
        EXPECT_EQ(b.width, w) << std::hex << b.id;
        EXPECT_EQ(b.height, ht) << std::hex << b.id;
        BITMAP bm = {};
        ASSERT_EQ(static_cast<int>(sizeof(bm)), GetObjectW(reinterpret_cast<HGDIOBJ>(h), sizeof(bm), &bm));
        EXPECT_EQ(S_OK, m_mgr->FreeRes(h));

        w = ht = 0;
        EXPECT_EQ(S_OK, m_mgr->GetBmpSizeById(b.id, &w, &ht));
        EXPECT_EQ(b.width, w);
        EXPECT_EQ(b.height, ht);
        if (b.width != 900 && b.width != 520) {
            EXPECT_EQ(0, b.width % 5) << "a button strip holds five equal frames";
        }
    }
}

// The stored images: 24 bits, uncompressed, Chinese (PRC) language, magenta outside the outline.
TEST_F(BoundPack, StoredBitmapsAre24BitUncompressedInLanguage2052)
{
    HMODULE pack = GetModuleHandleW(PackPath().c_str());
    ASSERT_NE(nullptr, pack);
    for (const SkinBitmap& b : kSkin) {
        HRSRC res = FindResourceExW(pack, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(b.resource),
                                    MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
        ASSERT_NE(nullptr, res) << b.resource;
        const BITMAPINFOHEADER* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(pack, res)));
        ASSERT_NE(nullptr, info);
        EXPECT_EQ(24, info->biBitCount) << b.resource;
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), info->biCompression) << b.resource;
        EXPECT_EQ(b.width, info->biWidth);
        EXPECT_EQ(b.height, std::abs(info->biHeight));
    }

    // Window backgrounds: the corners are the transparent key, the middle is not.
    for (LONG id : {0x10000001, 0x10000012}) {
        qrn_ResHandle h = 0;
        m_mgr->LoadRes(id, 1, &h);
        ASSERT_NE(0u, h);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(h));
        LONG w = 0, ht = 0;
        m_mgr->GetBmpSize(h, &w, &ht);
        EXPECT_EQ(RGB(255, 0, 255), GetPixel(dc, 0, 0));
        EXPECT_EQ(RGB(255, 0, 255), GetPixel(dc, w - 1, ht - 1));
        EXPECT_NE(RGB(255, 0, 255), GetPixel(dc, w / 2, ht / 2));
        SelectObject(dc, old);
        DeleteDC(dc);
        m_mgr->FreeRes(h);
    }
}

TEST_F(BoundPack, KernelDataThroughTheLoader)
{
    qrn_IKernelData* data = nullptr;
    ASSERT_EQ(S_OK, ComCreateInst(CLSID_KernelData, nullptr, CLSCTX_INPROC_SERVER, IID_qrn_IKernelData,
                                  reinterpret_cast<void**>(&data)));
    LONG size = 0;
    EXPECT_EQ(S_OK, data->QueryDataSize(&size));
    ASSERT_EQ(256, size);
    unsigned char block[256] = {};
    EXPECT_EQ(S_OK, data->QueryKernelData(reinterpret_cast<_stKernelHead*>(block)));
    data->Release();
    const _stKernelHead* head = reinterpret_cast<const _stKernelHead*>(block);
    EXPECT_EQ(256u, head->dwDataSize);
    EXPECT_EQ(9003, head->stVerInfo.nAppId);
    EXPECT_EQ(0x00010001, head->stVerInfo.nAppVer);
}

TEST_F(BoundPack, ProductNameAndColumnTitles)
{
    wchar_t name[260] = {};
    wchar_t* p = name;
    LONG capacity = 260;
    EXPECT_EQ(S_OK, m_mgr->QueryTxt(12, &p, &capacity));
    EXPECT_STREQ(L"QuenbyTalvern软件", name);
    wchar_t columns[1024] = {};
    p = columns;
    capacity = 1024;
    EXPECT_EQ(S_OK, m_mgr->QueryTxt(0x10000001, &p, &capacity));
    EXPECT_STREQ(L"文件名\n文件大小\n页数\n转换范围\n转换状态\n", columns);
}

// ---- the exports, on the pack loaded directly --------------------------------------------

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFn)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* NoArgsFn)();
typedef HRESULT(STDAPICALLTYPE* InstallFn)(BOOL, LPCWSTR);

class PackExports : public testing::Test {
protected:
    void SetUp() override
    {
        m_pack = LoadLibraryExW(PackPath().c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        ASSERT_NE(nullptr, m_pack);
    }
    void TearDown() override { FreeLibrary(m_pack); }

    template <class Fn> Fn Export(const char* name)
    {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m_pack, name)));
    }

    HMODULE m_pack = nullptr;
};

TEST_F(PackExports, AllEntryPointsUnderPlainNames)
{
    for (const char* name :
         {"DllMain", "DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer", "DllInstall"})
        EXPECT_NE(nullptr, Export<FARPROC>(name)) << name;
}

TEST_F(PackExports, UnloadAllowedOnlyWithoutLiveObjects)
{
    GetClassObjectFn getClassObject = Export<GetClassObjectFn>("DllGetClassObject");
    NoArgsFn canUnloadNow = Export<NoArgsFn>("DllCanUnloadNow");
    ASSERT_TRUE(getClassObject && canUnloadNow);
    EXPECT_EQ(S_OK, canUnloadNow());

    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, getClassObject(CLSID_ResMgr, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    IClassFactory* again = nullptr;
    ASSERT_EQ(S_OK, getClassObject(CLSID_ResMgr, IID_IClassFactory, reinterpret_cast<void**>(&again)));
    EXPECT_EQ(factory, again) << "the class object is cached";
    again->Release();

    qrn_IResMgr* mgr = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_qrn_IResMgr, reinterpret_cast<void**>(&mgr)));
    factory->Release();
    EXPECT_EQ(S_FALSE, canUnloadNow());
    mgr->Release();
    EXPECT_EQ(S_OK, canUnloadNow());

    void* none = reinterpret_cast<void*>(1);
    const CLSID other = {0xDEADBEEF, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(other, IID_IClassFactory, &none));
}

bool KeyExists(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// The pack carries no registry scripts: every registration road fails at its first step,
// rolls back where it should, and leaves the registry as it was.
TEST_F(PackExports, RegistrationWithoutScriptsFailsCleanly)
{
    const std::wstring keys[] = {
        L"CLSID\\" + GuidText(CLSID_ResMgr),
        L"CLSID\\" + GuidText(CLSID_KernelData),
        L"Interface\\" + GuidText(IID_qrn_IResMgr),
        L"TypeLib\\" + GuidText(LIBID_OstrelLib),
        L"AppID\\{E00ABA6A-B703-4786-B81F-3E8013FE3DD1}",
    };
    for (const std::wstring& k : keys) {
        ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, k)) << Narrow(k) << " existed before the test";
        ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\" + k)) << Narrow(k);
    }
    const LCID locale = GetThreadLocale();

    NoArgsFn reg = Export<NoArgsFn>("DllRegisterServer");
    NoArgsFn unreg = Export<NoArgsFn>("DllUnregisterServer");
    InstallFn install = Export<InstallFn>("DllInstall");
    const HRESULT noScript = HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_EQ(noScript, reg());
    EXPECT_EQ(noScript, unreg());
    EXPECT_EQ(noScript, install(TRUE, nullptr));
    EXPECT_EQ(noScript, install(TRUE, L"user"));
    EXPECT_EQ(noScript, install(FALSE, L"USER"));
    EXPECT_EQ(locale, GetThreadLocale());

    for (const std::wstring& k : keys) {
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, k)) << Narrow(k);
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\" + k)) << Narrow(k);
    }
}

}  // namespace
