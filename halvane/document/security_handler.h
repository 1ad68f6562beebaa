// The standard security handler of ISO 32000 (revisions 2 to 6: RC4 40 to 128-bit, AES-128,
// AES-256): checks the user password, derives the file key and decrypts strings and streams;
// and the Decryptor the document uses for its objects (ISO 32000-2, 7.6), opened from the
// /Encrypt dictionary. Only the empty user password is tried.
#ifndef HALVANE_CRYPTO_SECURITY_HANDLER_H
#define HALVANE_CRYPTO_SECURITY_HANDLER_H

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "halvane/syntax/object.h"

namespace halvane {

// The entries of a file's /Encrypt dictionary, plus the first /ID string of its trailer.
// Strings hold the raw bytes as parsed from the file.
struct EncryptionValues {
    int V = 0;
    int R = 0;
    int Length = 40;  // file key length in bits (values 5 to 16 are taken as bytes)
    std::string O, U, OE, UE, Perms;
    int32_t P = 0;  // the low 32 bits as stored (some writers store it unsigned)
    bool EncryptMetadata = true;
    std::string FileId0;  // empty when the trailer has no /ID
    std::string StmF, StrF, EFF;  // crypt filter names (V 4 and 5); empty means Identity
    // Crypt filter name -> its /CFM: "None" (or empty), "V2", "AESV2" or "AESV3".
    std::map<std::string, std::string> FilterMethods;
};

enum class CryptMethod { kNone, kRc4, kAes128, kAes256 };

class SecurityHandler {
public:
    // Checks `password` (bytes for revisions 2 to 4, UTF-8 for 5 and 6) as the user password,
    // then as the owner password, and derives the file key. The reader passes the empty
    // password, which also opens files whose owner password is empty. Null when the password
    // opens nothing, or the values are unusable (unknown revision or method, short strings).
    static std::unique_ptr<SecurityHandler> Open(const EncryptionValues& values, std::string_view password = {});

    // Decrypt a string or stream of object `num` `gen` with the file's /StrF or /StmF method.
    // False (with `out` empty) for data the method cannot decrypt, such as AES data shorter
    // than its 16-byte IV. AES data that does not end on a block boundary loses the partial
    // block; an empty input decrypts to an empty output.
    bool DecryptString(uint32_t num, uint16_t gen, std::string_view in, std::string* out) const;
    bool DecryptStream(uint32_t num, uint16_t gen, std::string_view in, std::string* out) const;
    // For a stream with its own /Crypt filter naming `filterName` ("Identity" or a key of
    // FilterMethods); false for a name the file does not define.
    bool DecryptStreamWithFilter(std::string_view filterName, uint32_t num, uint16_t gen, std::string_view in,
                                 std::string* out) const;

    // False when /Metadata streams are stored in the clear (V 4 and 5 with EncryptMetadata false).
    bool EncryptsMetadata() const { return encryptMetadata_; }

private:
    SecurityHandler() = default;
    bool Decrypt(CryptMethod method, uint32_t num, uint16_t gen, std::string_view in, std::string* out) const;

    std::string fileKey_;
    CryptMethod stringMethod_ = CryptMethod::kRc4;
    CryptMethod streamMethod_ = CryptMethod::kRc4;
    std::map<std::string, CryptMethod, std::less<>> filterMethods_;  // the usable ones
    bool encryptMetadata_ = true;
};

// Decryption of strings and streams of an encrypted document, on top of the handler.
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
