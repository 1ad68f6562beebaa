// What the conversion worker takes from outside the engine: the PDF reader, the document
// writer and the output folder. The program and the console converter get the table bound to
// halvane.dll, strome.dll and the settings file (convert_services_default.cpp); the console
// converter may put its own output folder in, and tests put fakes in.
#ifndef MORVANE_CONVERT_CONVERT_SERVICES_H
#define MORVANE_CONVERT_CONVERT_SERVICES_H

#include "halvane.h"
#include "strome.h"

struct stConvertServices {
    int (*pfnLoadDoc)(const qrn_wchar* path, qrn_IPdfDoc** doc);
    void (*pfnFreeDoc)(qrn_IPdfDoc* doc);
    int (*pfnDocxCreate)(qrn_IDocx** doc, const qrn_wchar* path);
    void (*pfnDocxDelete)(qrn_IDocx* doc);
    // Fills a zeroed 260-character buffer with the output folder; empty means beside the PDF.
    void (*pfnGetOutputDir)(qrn_wchar* folder);
};

extern stConvertServices g_convertServices;

#endif
