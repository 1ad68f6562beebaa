#include "about_dlg.h"

#include <stdio.h>

#include "ostrel.h"
#include "res_text.h"
#include "resource.h"
#include "services.h"
#include "skin_pictures.h"
#include "web_address.h"

namespace {

const COLORREF kDarkText = RGB(64, 64, 64);
const COLORREF kLightBack = RGB(241, 241, 241);
const int kTxtWebSite = 1;
const int kTxtMail = 10;
const int kTxtMail2 = 11;
const int kTxtCaption = 0x30000001;
const int kPicBackground = 0x10000012;
const int kPicClose = 0x10000004;
const int kPicOK = 0x10000016;

void OpenMail(int textId)
{
    wchar_t mail[kWebAddressChars];
    QueryText(textId, mail, kWebAddressChars);
    if (!mail[0])
        return;
    wchar_t address[kWebAddressChars + 8];
    swprintf(address, kWebAddressChars + 8, L"mailto:%ls", mail);
    OpenWebAddress(address);
}

}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, qrn_SkinDlg)
ON_BN_CLICKED(IDC_ABOUT_CLOSE, OnCloseButton)
ON_BN_CLICKED(IDC_ABOUT_OK, OnOKButton)
ON_STN_CLICKED(IDC_ABOUT_LOGO, OnWebSite)
ON_STN_CLICKED(IDC_ABOUT_WEB, OnWebSite)
ON_STN_CLICKED(IDC_ABOUT_MAIL, OnMail)
ON_STN_CLICKED(IDC_ABOUT_MAIL2, OnMail2)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : qrn_SkinDlg(IDD_ABOUTBOX)
{ }

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    qrn_SkinDlg::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_ABOUT_LOGO, m_picLogo);
    DDX_Control(pDX, IDC_ABOUT_BADGE, m_picBadge);
    DDX_Control(pDX, IDC_ABOUT_LINE, m_lineSeparator);
    DDX_Control(pDX, IDC_ABOUT_NAME, m_lblName);
    DDX_Control(pDX, IDC_ABOUT_MAIL, m_lblMail);
    DDX_Control(pDX, IDC_ABOUT_MAIL2, m_lblMail2);
    DDX_Control(pDX, IDC_ABOUT_WEB, m_lblWeb);
    DDX_Control(pDX, IDC_ABOUT_NOTICE, m_lblNotice);
    DDX_Control(pDX, IDC_ABOUT_EMAIL_LABEL, m_lblEmailLabel);
    DDX_Control(pDX, IDC_ABOUT_QMAIL_LABEL, m_lblQmailLabel);
    DDX_Control(pDX, IDC_ABOUT_OK, m_btnOK);
}

BOOL CAboutDlg::OnInitDialog()
{
    qrn_SkinDlg::OnInitDialog();
    for (qrn_SkinStatic* label :
         {&m_lblName, &m_lblMail, &m_lblMail2, &m_lblWeb, &m_lblNotice, &m_lblEmailLabel, &m_lblQmailLabel}) {
        label->m_clrText = kDarkText;
        label->SetBackColor(kLightBack);
    }
    wchar_t tip[MAX_PATH];
    QueryText(0x20000003, tip, MAX_PATH);
    AddControlToolTip(this, tip, IDC_ABOUT_CLOSE);
    QueryText(0x20000011, tip, MAX_PATH);
    AddControlToolTip(this, tip, IDC_ABOUT_OK);
    wchar_t caption[kWebAddressChars];
    QueryText(kTxtCaption, caption, kWebAddressChars);
    m_strCaption = caption;
    return TRUE;
}

int CAboutDlg::LoadSkin()
{
    if (!ResMgr())
        return 0;
    m_imgBack.Attach(LoadPicture(kPicBackground));
    m_btnClose.SetImage(LoadPicture(kPicClose));
    m_btnOK.SetImage(LoadPicture(kPicOK));
    return 0;
}

int CAboutDlg::FreeSkin()
{
    if (!ResMgr())
        return 0;
    FreePicture(static_cast<HBITMAP>(m_imgBack.Detach()));
    FreePicture(m_btnClose.ReleaseImage());
    FreePicture(m_btnOK.ReleaseImage());
    return 0;
}

int CAboutDlg::LayoutControls()
{
    RECT client;
    GetClientRect(&client);
    const int width = client.right - client.left;
    if (m_btnClose.m_hWnd)
        m_btnClose.SetWindowPos(nullptr, width - 37, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (m_btnOK.m_hWnd)
        m_btnOK.SetWindowPos(nullptr, 400, 185, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    struct {
        int id, x, y, w, h;
    } const places[] = {
        {IDC_ABOUT_LOGO, 36, 61, 204, 83},        {IDC_ABOUT_BADGE, 427, 90, 32, 32},
        {IDC_ABOUT_LINE, 36, 154, 449, 2},        {IDC_ABOUT_NAME, 253, 72, 230, 13},
        {IDC_ABOUT_MAIL, 288, 95, 137, 13},       {IDC_ABOUT_MAIL2, 288, 118, 111, 13},
        {IDC_ABOUT_WEB, 36, 168, 380, 13},        {IDC_ABOUT_NOTICE, 36, 194, 293, 13},
        {IDC_ABOUT_EMAIL_LABEL, 253, 95, 30, 13}, {IDC_ABOUT_QMAIL_LABEL, 253, 118, 30, 13},
    };
    for (const auto& place : places)
        if (HWND control = ::GetDlgItem(m_hWnd, place.id))
            ::SetWindowPos(control, nullptr, place.x, place.y, place.w, place.h, SWP_NOZORDER);
    return 1;
}

void CAboutDlg::OnCloseButton()
{
    CDialog::OnCancel();
}

void CAboutDlg::OnOKButton()
{
    CDialog::OnOK();
}

void CAboutDlg::OnWebSite()
{
    wchar_t address[kWebAddressChars];
    QueryText(kTxtWebSite, address, kWebAddressChars);
    OpenWebAddress(address);
}

void CAboutDlg::OnMail()
{
    OpenMail(kTxtMail);
}

void CAboutDlg::OnMail2()
{
    OpenMail(kTxtMail2);
}
