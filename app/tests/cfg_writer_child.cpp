// Helper program of the settings-file tests: writes items firstId .. firstId + count - 1 into
// the settings file, rounds times over, each item holding its id in every byte.
//   cfg_writer_child <path> <firstId> <count> <rounds> [attempts]
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "settings_file.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5 && argc != 6)
        return 2;
    if (argc == 6)
        g_nCfgOpenAttempts = _wtoi(argv[5]);
    const int firstId = _wtoi(argv[2]), count = _wtoi(argv[3]), rounds = _wtoi(argv[4]);
    for (int round = 0; round < rounds; ++round) {
        for (int id = firstId; id < firstId + count; ++id) {
            unsigned char data[64];
            memset(data, id & 0xFF, sizeof(data));
            if (!CfgWriteItem(argv[1], id, data, sizeof(data)))
                return 1;
        }
    }
    return 0;
}
