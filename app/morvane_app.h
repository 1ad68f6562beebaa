// The application object of Morvane: creates the services, runs the main window modally and
// releases the services when it closes.
#ifndef MORVANE_APP_MORVANE_APP_H
#define MORVANE_APP_MORVANE_APP_H

#include "afx_app.h"
#include "app_services.h"

class CMorvaneApp : public CWinApp {
public:
    CMorvaneApp();

    BOOL InitInstance() override;  // always FALSE: the program ends when the main window closes
    int ExitInstance() override;

    // Everything before the main window: services, writer library, common controls, the
    // product name as the caption of every message box, the shared tooltip window. False after
    // telling the user (in English) when the resource pack is unusable.
    bool StartServices(const stServiceFolders* folders = nullptr);
    // Everything after it, in the reverse order; safe to call twice.
    void StopServices();

    wchar_t m_szAppTitle[MAX_PATH];

private:
    bool m_bServicesStarted = false;
    bool m_bDocxStarted = false;
};

#endif
