#include "res_tables.h"

#include "resource_ids.h"

namespace {

// Searched front to back. Button pictures are strips of five frames side by side.
const stResInfo kBitmaps[] = {
    {0x10000001, IDB_MWND, L"mwnd.bmp"},  // 900 x 500 main window
    {0x10000002, IDB_SBTN_HELP, L"sbtn_help.bmp"},  // 150 x 18
    {0x10000003, IDB_SBTN_MIN, L"sbtn_min.bmp"},  // 150 x 18
    {0x10000004, IDB_SBTN_CLOSE, L"sbtn_close.bmp"},  // 175 x 18
    {0x10000005, IDB_BTN_STARTCONV, L"btn_startconv.bmp"},  // 750 x 38
    {0x10000006, IDB_BTN_STOPCONV, L"btn_stopconv.bmp"},  // 750 x 38
    {0x10000007, IDB_BTN_ADDPDF, L"btn_addpdf.bmp"},  // 750 x 38
    {0x10000008, IDB_BTN_DELPDF, L"btn_delpdf.bmp"},  // 750 x 38
    {0x10000009, IDB_BTN_CLEARPDFS, L"btn_clearpdfs.bmp"},  // 750 x 38
    {0x1000000a, IDB_IBTN_MANSVC, L"ibtn_mansvc.bmp"},  // 280 x 56
    {0x1000000c, IDB_IBTN_HELP, L"ibtn_help.bmp"},  // 280 x 56
    {0x1000000d, IDB_IBTN_SETTING, L"ibtn_setting.bmp"},  // 280 x 56
    {0x1000000e, IDB_IBTN_ABOUT, L"ibtn_about.bmp"},  // 280 x 56
    {0x1000000f, IDB_IBTN_EXIT, L"ibtn_exit.bmp"},  // 280 x 56
    {0x10000010, IDB_IBTN_CHGFOLDER, L"ibtn_chgfolder.bmp"},  // 115 x 20
    {0x10000011, IDB_IBTN_OPENFOLDER, L"ibtn_openfolder.bmp"},  // 115 x 20
    {0x10000012, IDB_DLG_SZ520250, L"dlg_sz520250.bmp"},  // 520 x 250 About dialog
    {0x10000015, IDB_BTN_CLOSE, L"btn_close.bmp"},  // 425 x 25
    {0x10000016, IDB_BTN_OK, L"btn_ok.bmp"},  // 425 x 25
    {0x10000020, IDB_BTN_CANCEL, L"btn_cancel.bmp"},  // 425 x 25
};

// The pack carries no dialog templates; the one row matches no dialog-class id.
const stResInfo kDialogs[] = {
    {1, 1, L""},
};

template <size_t N> const stResInfo* FindRow(const stResInfo (&rows)[N], int32_t nResId)
{
    for (const stResInfo& row : rows)
        if (row.nResId == nResId)
            return &row;
    return nullptr;
}

}  // namespace

const stResInfo* BitmapTable()
{
    return kBitmaps;
}

size_t BitmapTableRows()
{
    return sizeof(kBitmaps) / sizeof(kBitmaps[0]);
}

const stResInfo* FindBitmap(int32_t nResId)
{
    return FindRow(kBitmaps, nResId);
}

const stResInfo* FindDialog(int32_t nResId)
{
    return FindRow(kDialogs, nResId);
}
