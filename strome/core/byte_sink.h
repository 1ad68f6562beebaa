// Where package bytes go: a file being written, a scratch spool, or memory in tests.
#ifndef MORVANE_STROME_CORE_BYTE_SINK_H
#define MORVANE_STROME_CORE_BYTE_SINK_H

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace strome {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when the bytes could not be stored (disk full, I/O error); the sink is then unusable.
    virtual bool Write(const void* data, size_t size) = 0;
};

class StringSink : public ByteSink {
public:
    bool Write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    }
    std::string bytes;
};

}  // namespace strome

#endif
