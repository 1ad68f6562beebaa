// Main of every test program. Under Wine an access violation can end a process with exit
// code 0, which ctest would count as a pass; the filter below turns any unhandled exception
// into a distinct failure code.
#include <gmock/gmock.h>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>

namespace {
LONG WINAPI FailOnUnhandledException(EXCEPTION_POINTERS* info)
{
    const unsigned long code = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0;
    const void* address = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionAddress : nullptr;
    std::fprintf(stderr, "\nUNHANDLED EXCEPTION 0x%08lX at %p: test program crashed\n", code, address);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 0xC5);
    return EXCEPTION_EXECUTE_HANDLER;
}
}  // namespace
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(FailOnUnhandledException);
#endif
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
