// wexor.exe: downloads a release for the main program and leaves update.ini for Loader.
// Command line: -sav"<save path>" -url"<download address>" -md5"<MD5 text>". Windowless;
// exit code 0 when the release and update.ini are in place.
#include <windows.h>

#include "download_job.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    stDownloadJob job;
    if (!ParseDownloaderCommandLine(GetCommandLineW(), &job))
        return (int)DownloadResult::BadCommandLine;
    return (int)RunDownloadJob(job);
}
