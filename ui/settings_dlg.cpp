#include "settings_dlg.h"

#include "job_list.h"
#include "res_text.h"
#include "resource.h"
#include "services.h"
#include "settings_file.h"
#include "skin_pictures.h"
#include "text_list.h"

namespace {

const COLORREF kDarkText = RGB(64, 64, 64);
const COLORREF kLightBack = RGB(241, 241, 241);

const int32_t kTxtCaption = 0x30000020;
const int32_t kTxtLayoutLabel = 0x10000020;
const int32_t kTxtLayoutChoices = 0x10000021;
const int32_t kTipClose = 0x20000003;
const int32_t kTipOK = 0x20000011;
const int32_t kTipCancel = 0x20000020;
const int32_t kPicBackground = 0x10000012;  // the About dialog's frame
const int32_t kPicClose = 0x10000004;
const int32_t kPicOK = 0x10000016;
const int32_t kPicCancel = 0x10000020;

// The layouts in the order of the lines of the choices' text.
const int kChoiceLayouts[] = {WORD_LAYOUT_FAITHFUL, WORD_LAYOUT_CLASSIC};
const int kChoiceCount = sizeof(kChoiceLayouts) / sizeof(kChoiceLayouts[0]);

// The Word layout of a row of the layout box, and the row of a layout; -1 for neither.
int WordLayoutOfChoice(int row)
{
    return row >= 0 && row < kChoiceCount ? kChoiceLayouts[row] : -1;
}

int ChoiceOfWordLayout(int layout)
{
    for (int row = 0; row < kChoiceCount; ++row)
        if (kChoiceLayouts[row] == layout)
            return row;
    return -1;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSettingsDlg, qrn_SkinDlg)
ON_BN_CLICKED(IDC_SETTINGS_CLOSE, OnCloseButton)
ON_BN_CLICKED(IDC_SETTINGS_OK, OnOKButton)
ON_BN_CLICKED(IDC_SETTINGS_CANCEL, OnCancelButton)
END_MESSAGE_MAP()

CSettingsDlg::CSettingsDlg() : qrn_SkinDlg(IDD_SETTINGS)
{ }

void CSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    qrn_SkinDlg::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SETTINGS_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_SETTINGS_LAYOUT_LABEL, m_lblLayout);
    DDX_Control(pDX, IDC_SETTINGS_LAYOUT, m_comboLayout);
    DDX_Control(pDX, IDC_SETTINGS_OK, m_btnOK);
    DDX_Control(pDX, IDC_SETTINGS_CANCEL, m_btnCancel);
}

BOOL CSettingsDlg::OnInitDialog()
{
    qrn_SkinDlg::OnInitDialog();
    m_lblLayout.m_clrText = kDarkText;
    m_lblLayout.SetBackColor(kLightBack);

    wchar_t text[kTextListChars];
    QueryText(kTxtLayoutLabel, text, MAX_PATH);
    m_lblLayout.SetWindowText(text);

    QueryText(kTxtLayoutChoices, text, kTextListChars);
    stTextList choices;
    const int count = LoadTextList(text, &choices);
    for (int i = 0; i < count && i < kChoiceCount; ++i) {
        wchar_t item[MAX_PATH];
        if (GetTextListItem(&choices, i, item, sizeof(item)))
            m_comboLayout.AddString(item);
    }
    m_comboLayout.SetCurSel(ChoiceOfWordLayout(CfgGetWordLayout(g_szCfgPath)));

    // The buttons carry their captions in their pictures; the texts name them and are their tips.
    const struct {
        int id;
        int32_t tip;
    } tips[] = {{IDC_SETTINGS_CLOSE, kTipClose}, {IDC_SETTINGS_OK, kTipOK}, {IDC_SETTINGS_CANCEL, kTipCancel}};
    for (const auto& tip : tips) {
        QueryText(tip.tip, text, MAX_PATH);
        AddControlToolTip(this, text, tip.id);
        if (tip.id != IDC_SETTINGS_CLOSE)
            ::SetDlgItemTextW(m_hWnd, tip.id, text);
    }

    QueryText(kTxtCaption, text, MAX_PATH);
    m_strCaption = text;
    SetWindowText(text);
    return TRUE;
}

int CSettingsDlg::LoadSkin()
{
    if (!ResMgr())
        return 0;
    m_imgBack.Attach(LoadPicture(kPicBackground));
    m_btnClose.SetImage(LoadPicture(kPicClose));
    m_btnOK.SetImage(LoadPicture(kPicOK));
    m_btnCancel.SetImage(LoadPicture(kPicCancel));
    return 0;
}

int CSettingsDlg::FreeSkin()
{
    if (!ResMgr())
        return 0;
    FreePicture(static_cast<HBITMAP>(m_imgBack.Detach()));
    FreePicture(m_btnClose.ReleaseImage());
    FreePicture(m_btnOK.ReleaseImage());
    FreePicture(m_btnCancel.ReleaseImage());
    return 0;
}

int CSettingsDlg::LayoutControls()
{
    RECT client;
    GetClientRect(&client);
    const int width = client.right - client.left;
    if (m_btnClose.m_hWnd)
        m_btnClose.SetWindowPos(nullptr, width - 37, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (m_btnOK.m_hWnd)
        m_btnOK.SetWindowPos(nullptr, 305, 195, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (m_btnCancel.m_hWnd)
        m_btnCancel.SetWindowPos(nullptr, 400, 195, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // The layout box's height is that of its open list, which holds every choice.
    struct {
        int id, x, y, w, h;
    } const places[] = {
        {IDC_SETTINGS_LAYOUT_LABEL, 36, 66, 150, 18},
        {IDC_SETTINGS_LAYOUT, 36, 88, 300, 120},
    };
    for (const auto& place : places)
        if (HWND control = ::GetDlgItem(m_hWnd, place.id))
            ::SetWindowPos(control, nullptr, place.x, place.y, place.w, place.h, SWP_NOZORDER);
    return 1;
}

void CSettingsDlg::OnCloseButton()
{
    CDialog::OnCancel();
}

void CSettingsDlg::OnOKButton()
{
    const int layout = WordLayoutOfChoice(m_comboLayout.GetCurSel());
    if (layout >= 0)
        CfgSetWordLayout(g_szCfgPath, layout);
    CDialog::OnOK();
}

void CSettingsDlg::OnCancelButton()
{
    CDialog::OnCancel();
}
