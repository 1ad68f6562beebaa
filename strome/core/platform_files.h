// The two file services the writer needs from the platform: an anonymous scratch file and
// an output file that appears under its name only once it is complete.
#ifndef MORVANE_STROME_CORE_PLATFORM_FILES_H
#define MORVANE_STROME_CORE_PLATFORM_FILES_H

#include <stdio.h>

#include <memory>
#include <string>

#include "byte_sink.h"

namespace strome {

// A temporary file opened for reading and writing, removed when it is closed; null on failure.
FILE* OpenScratchFile();

// Bytes written go to a new temporary file in the target's folder. Commit flushes it to disk
// and renames it over the target; without a successful Commit (an error, or destruction) the
// temporary file is removed and the target is left as it was.
class AtomicOutputFile : public ByteSink {
public:
    // Null when the temporary file cannot be created (missing folder, no permission).
    static std::unique_ptr<AtomicOutputFile> Create(const std::u16string& targetPath);
    virtual bool Commit() = 0;
};

}  // namespace strome

#endif
