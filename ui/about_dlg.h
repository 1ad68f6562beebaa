// The About dialog: product name and version, contact addresses and the web site.
#ifndef MORVANE_UI_ABOUT_DLG_H
#define MORVANE_UI_ABOUT_DLG_H

#include "afxwin.h"
#include "skin.h"

class CAboutDlg : public qrn_SkinDlg {
public:
    CAboutDlg();

    qrn_SkinSysBtn m_btnClose;
    CStatic m_picLogo;
    CStatic m_picBadge;
    CStatic m_lineSeparator;
    qrn_SkinStatic m_lblName;
    qrn_SkinStatic m_lblMail;
    qrn_SkinStatic m_lblMail2;
    qrn_SkinStatic m_lblWeb;
    qrn_SkinStatic m_lblNotice;
    qrn_SkinStatic m_lblEmailLabel;
    qrn_SkinStatic m_lblQmailLabel;
    qrn_SkinBtn m_btnOK;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    int LoadSkin() override;
    int FreeSkin() override;
    int LayoutControls() override;

    void OnCloseButton();
    void OnOKButton();
    void OnWebSite();
    void OnMail();
    void OnMail2();

    DECLARE_MESSAGE_MAP()
};

#endif
