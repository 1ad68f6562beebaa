// Decryption of strings and streams of an encrypted document (ISO 32000-2, 7.6), on top of the
// standard security handler. Only the empty user password is tried.
#ifndef HALVANE_SECURITY_H
#define HALVANE_SECURITY_H

#include <memory>
#include <string>

#include "halvane/syntax/object.h"

namespace halvane {

class Decryptor {
public:
    virtual ~Decryptor() = default;
    virtual std::string DecryptString(Ref ref, const std::string& bytes) = 0;
    virtual std::string DecryptStream(Ref ref, const std::string& bytes) = 0;
    // For a stream whose own /Crypt filter names one of the file's crypt filters.
    virtual std::string DecryptStreamWithFilter(const std::string& filter, Ref ref, const std::string& bytes) = 0;
    // Metadata streams stay in clear text when /EncryptMetadata is false.
    virtual bool EncryptsMetadata() const = 0;
};

enum class SecurityStatus { Ok, NeedsPassword, Unsupported };

// encrypt: the resolved /Encrypt dictionary; firstId: the first string of the trailer's /ID.
std::unique_ptr<Decryptor> OpenDecryptor(const Dict& encrypt, const std::string& firstId, SecurityStatus* status);

}  // namespace halvane

#endif
