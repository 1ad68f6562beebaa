// The conversion services of the shipped programs: the reader and writer DLLs by import and
// the output folder of the settings file.
#include "convert_services.h"

#include "services.h"
#include "settings_file.h"

namespace {

void OutputDirFromSettings(qrn_wchar* folder)
{
    if (g_szCfgPath)
        CfgGetOutputDir(g_szCfgPath, folder);
}

}  // namespace

stConvertServices g_convertServices = {LoadDoc, FreeDoc, Docx_Create, Docx_Delete, OutputDirFromSettings};
