// Start-up and shut-down of the process-wide services (services.h): the paths of the per-user
// data folder, the settings file and pub.ini, the binding of the resource pack ostrel.dat
// through Cambrel, the resource manager, the kernel-data block and the first run.
#ifndef MORVANE_APP_APP_SERVICES_H
#define MORVANE_APP_APP_SERVICES_H

#include <windows.h>

// What start-up could not provide. Anything but kServicesReady means the program must not
// open its windows: every window reads the resource manager and the kernel data untested.
enum ServicesStatus {
    kServicesReady = 0,
    kServicesNoPack,  // ostrel.dat is not in the program folder
    kServicesNoResMgr,  // the resource manager could not be created
    kServicesNoKernelData,  // the kernel-data object or its block is unusable
};

// The folders start-up works from; the program takes them from the system, tests give their own.
struct stServiceFolders {
    wchar_t szProgramFolder[MAX_PATH];  // folder of the program file, trailing backslash
    wchar_t szAppData[MAX_PATH];  // the user's application-data folder
    wchar_t szDocuments[MAX_PATH];  // the user's documents folder
};

// Fills the folders from the running program and the shell; false when one is unknown.
bool GetSystemServiceFolders(stServiceFolders* folders);

// Creates the services (each global of services.h) and, on a first run, the settings file, the
// default output folder and the welcome page. The globals exist afterwards whatever the result,
// so ReleaseServices() always follows.
ServicesStatus InitServicesWith(const stServiceFolders& folders);
ServicesStatus InitServices();

// Releases the services in their fixed order; each global is null afterwards.
void ReleaseServices();

// The English message for a failed start-up (the text table may be what is missing); the
// HRESULT of the failed step is part of it. Writes into text (capacity characters).
void FormatServicesFailure(ServicesStatus status, HRESULT hr, const wchar_t* programFolder, wchar_t* text,
                           int capacity);

// The HRESULT of the step that failed during the last InitServices, S_OK when none did.
HRESULT LastServicesError();

#endif
