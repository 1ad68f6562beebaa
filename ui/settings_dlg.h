// The settings dialog of the Settings button: the layout of the Word output, faithful to the
// page or classic continuous paragraphs. OK stores the choice in the settings file; Cancel and
// the close button leave it as it was.
#ifndef MORVANE_UI_SETTINGS_DLG_H
#define MORVANE_UI_SETTINGS_DLG_H

#include "afxwin.h"
#include "skin.h"

class CSettingsDlg : public qrn_SkinDlg {
public:
    CSettingsDlg();

    qrn_SkinSysBtn m_btnClose;
    qrn_SkinStatic m_lblLayout;
    qrn_SkinComboBox m_comboLayout;
    qrn_SkinBtn m_btnOK;
    qrn_SkinBtn m_btnCancel;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    int LoadSkin() override;
    int FreeSkin() override;
    int LayoutControls() override;

    void OnCloseButton();
    void OnOKButton();
    void OnCancelButton();

    DECLARE_MESSAGE_MAP()
};

#endif
