// The main window: the PDF file list, the conversion controls with their progress, the
// output folder and the toolbar. It receives the conversion worker's notifications
// (IP2DMsgSink) and the version check's answer (qrn_IVerSink).
#ifndef MORVANE_UI_MORVANE_DLG_H
#define MORVANE_UI_MORVANE_DLG_H

#include <atomic>
#include <vector>

#include "afxwin.h"
#include "job_list.h"
#include "skin.h"
#include "version_check.h"

// Posted by ConvertDone to end a run on the window's own thread; wParam is the run's result.
#define WM_CONVERT_DONE (WM_USER + 101)

class CMorvaneDlg : public qrn_SkinDlg, public qrn_IVerSink, public IP2DMsgSink {
public:
    CMorvaneDlg();
    ~CMorvaneDlg() override;

    // qrn_IVerSink: the version check's answer (update decision of the update subsystem).
    void OnVersion(int32_t nVersion) override;
    // IP2DMsgSink, called on the worker thread.
    void SetTotalSteps(int steps) override;
    void ConvertDone(int result) override;
    void JobProgress(int job, int stage, int value) override;

    // Adds PDF files as the Add button does after its dialog (also used for dropped files).
    // Returns the number of rows added.
    int AddFiles(const std::vector<CString>& paths);

    // State a test or a caller may look at.
    CJobList& Jobs() { return m_jobList; }
    bool IsRunning() const { return m_bRunning; }
    const CString& OutputFolder() const { return m_strOutputDir; }

    CFont m_fontHeader;
    wchar_t m_szFileFilter[MAX_PATH];
    CJobList m_jobList;
    CString m_strOutputDir;
    stVerCheck m_verCheck;

    qrn_SkinSysBtn m_btnSysHelp, m_btnSysMin, m_btnSysClose;
    qrn_SkinBtn m_btnConvert, m_btnStop, m_btnAdd, m_btnRemove, m_btnRemoveAll;
    qrn_SkinList m_listFiles;
    qrn_SkinProgress m_progress;
    qrn_SkinStatic m_lblOutputDir;
    qrn_SkinEdit m_editOutputDir;
    qrn_SkinBtn m_btnService, m_btnHelp, m_btnSettings, m_btnAbout, m_btnExit, m_btnChangeFolder, m_btnOpenFolder;
    qrn_SkinStatic m_lblConvertTo;
    qrn_SkinComboBox m_comboConvertTo;
    HICON m_hIcon;
    int m_nConvType;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    int LoadSkin() override;
    int FreeSkin() override;
    int LayoutControls() override;

    // Main dialog (morvane_dlg.cpp)
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSysMinimize();
    void OnCloseWindow();
    void OnHelpPage();
    void OnServicePage();
    void OnSettings();
    void OnAboutBox();
    void OnDestroy();
    void ApplySkinColours();
    qrn_SkinBtn* SkinButton(int id);  // the button member of a button id of the window
    void AddToolTips();
    void StartUpdateCheck();

    // File list (file_list.cpp)
    void SetupFileList();
    void OnAdd();
    void OnRemove();
    void OnRemoveAll();
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);
    bool RefuseWhileBusy();
    int AddOneFile(const wchar_t* path);

    // Conversion (conversion.cpp)
    void OnConvert();
    void OnStop();
    LRESULT OnConvertDone(WPARAM wParam, LPARAM lParam);
    bool AcceptTypedOutputFolder();
    void ShowConvertButton(bool convert);
    void RepaintProgress();
    // Lets the worker end while the window keeps answering the worker's sent messages.
    void WaitForWorker();

    // Output folder (output_folder.cpp)
    void OnChangeFolder();
    void OnOpenFolder();

    DECLARE_MESSAGE_MAP()

private:
    bool m_bRunning = false;  // between Convert and WM_CONVERT_DONE
    std::atomic<bool> m_bClosing{false};  // the window is going: the worker must not touch it
};

#endif
