// The class layer in one include: windows, dialogs, controls, GDI objects, strings and the
// application object.
#ifndef MORVANE_AFX_AFXWIN_H
#define MORVANE_AFX_AFXWIN_H

#include "afx_app.h"
#include "afx_controls.h"
#include "afx_dialog.h"
#include "afx_filedlg.h"
#include "afx_gdi.h"
#include "afx_msgmap.h"
#include "afx_object.h"
#include "afx_string.h"
#include "afx_types.h"
#include "afx_wnd.h"
#include "seams.h"

#endif
