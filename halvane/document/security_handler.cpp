#include "halvane/document/security_handler.h"

#include <algorithm>
#include <new>

#include "halvane/crypto/aes.h"
#include "halvane/crypto/md5.h"
#include "halvane/crypto/rc4.h"
#include "halvane/crypto/sha2.h"

namespace halvane {
namespace {

// Pads (or truncates) passwords to 32 bytes in revisions 2 to 4.
constexpr uint8_t kPasswordPad[32] = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A,
};

std::string_view PadView()
{
    return std::string_view(reinterpret_cast<const char*>(kPasswordPad), sizeof kPasswordPad);
}

template <typename Digest> std::string AsString(const Digest& digest, size_t size)
{
    return std::string(reinterpret_cast<const char*>(digest.data()), std::min(size, digest.size()));
}

bool MethodFromName(std::string_view cfm, CryptMethod* method)
{
    if (cfm.empty() || cfm == "None") {
        *method = CryptMethod::kNone;
    } else if (cfm == "V2") {
        *method = CryptMethod::kRc4;
    } else if (cfm == "AESV2") {
        *method = CryptMethod::kAes128;
    } else if (cfm == "AESV3") {
        *method = CryptMethod::kAes256;
    } else {
        return false;
    }
    return true;
}

// Method of a crypt filter named by /StmF or /StrF; an absent name means Identity.
bool ResolveFilter(const EncryptionValues& values, const std::string& name, CryptMethod* method)
{
    if (name.empty() || name == "Identity") {
        *method = CryptMethod::kNone;
        return true;
    }
    const auto it = values.FilterMethods.find(name);
    return it != values.FilterMethods.end() && MethodFromName(it->second, method);
}

// File key length in bytes for revisions 2 to 4.
size_t Rc4KeyLength(const EncryptionValues& values, bool usesAes)
{
    if (values.R == 2 || values.V == 1)
        return 5;
    if (usesAes)
        return 16;
    int bits = values.Length;
    if (bits >= 5 && bits <= 16)
        bits *= 8;  // some writers give the length in bytes
    return size_t(std::clamp(bits / 8, 5, 16));
}

// Algorithm 2: the file key from a user password, revisions 2 to 4.
std::string DeriveRc4FileKey(const EncryptionValues& values, std::string_view password, size_t keyLength)
{
    std::string padded(password.substr(0, 32));
    padded.append(PadView().substr(0, 32 - padded.size()));
    Md5 md5;
    md5.Update(padded);
    md5.Update(std::string_view(values.O).substr(0, 32));
    const uint32_t p = uint32_t(values.P);
    const uint8_t pBytes[4] = {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), uint8_t(p >> 24)};
    md5.Update(pBytes, 4);
    md5.Update(values.FileId0);
    if (values.R >= 4 && !values.EncryptMetadata) {
        static const uint8_t kNoMetadata[4] = {0xFF, 0xFF, 0xFF, 0xFF};
        md5.Update(kNoMetadata, 4);
    }
    Md5Digest digest = md5.Final();
    if (values.R >= 3) {
        for (int i = 0; i < 50; ++i)
            digest = Md5::Hash(AsString(digest, keyLength));
    }
    return AsString(digest, keyLength);
}

// Algorithms 4 and 5: whether `key` reproduces the /U entry.
bool MatchesUserEntry(const EncryptionValues& values, const std::string& key)
{
    if (values.R == 2) {
        return Rc4::Crypt(key, PadView()) == std::string_view(values.U).substr(0, 32);
    }
    Md5 md5;
    md5.Update(PadView());
    md5.Update(values.FileId0);
    std::string check = Rc4::Crypt(key, AsString(md5.Final(), 16));
    std::string roundKey(key);
    for (int i = 1; i <= 19; ++i) {
        for (size_t k = 0; k < key.size(); ++k)
            roundKey[k] = char(uint8_t(key[k]) ^ i);
        check = Rc4::Crypt(roundKey, check);
    }
    return check == std::string_view(values.U).substr(0, 16);
}

// The password hash of revision 6 (ISO 32000-2, algorithm 2.B): SHA-256 refined by at least
// 64 rounds of AES-128 and SHA-2 whose choice depends on the data. `userEntry` is empty
// when checking a user password.
std::string HardenedHash(std::string_view password, std::string_view salt, std::string_view userEntry)
{
    Sha256 first;
    first.Update(password);
    first.Update(salt);
    first.Update(userEntry);
    const Sha256Digest start = first.Final();
    std::string k = AsString(start, start.size());
    std::string block, e;
    for (int round = 0;; ++round) {
        const std::string unit = std::string(password) + k + std::string(userEntry);
        block.clear();
        block.reserve(unit.size() * 64);
        for (int i = 0; i < 64; ++i)
            block += unit;
        // 64 copies always make whole AES blocks; the key and IV are the first 32 bytes of k.
        AesCbcEncrypt(std::string_view(k).substr(0, 16), std::string_view(k).substr(16, 16), block, &e);
        // The first 16 bytes taken as a big-endian number, modulo 3; 256 = 1 (mod 3), so the
        // byte sum has the same remainder.
        unsigned sum = 0;
        for (int i = 0; i < 16; ++i)
            sum += uint8_t(e[size_t(i)]);
        switch (sum % 3) {
        case 0:
            k = AsString(Sha256::Hash(e), 32);
            break;
        case 1:
            k = AsString(Sha512::Hash384(e), 48);
            break;
        default:
            k = AsString(Sha512::Hash512(e), 64);
            break;
        }
        const int last = uint8_t(e.back());
        if (round >= 63 && last <= round + 1 - 32)
            break;
    }
    return k.substr(0, 32);
}

// Algorithm 7: an owner password unlocks /O, which holds the padded user password.
std::string UserPasswordFromOwner(const EncryptionValues& values, std::string_view owner, size_t keyLength)
{
    std::string padded(owner.substr(0, 32));
    padded.append(PadView().substr(0, 32 - padded.size()));
    Md5Digest digest = Md5::Hash(padded);
    if (values.R >= 3) {
        for (int i = 0; i < 50; ++i)
            digest = Md5::Hash(AsString(digest, digest.size()));
    }
    const std::string key = AsString(digest, keyLength);
    const std::string_view o = std::string_view(values.O).substr(0, 32);
    if (values.R == 2)
        return Rc4::Crypt(key, o);
    std::string user(o);
    std::string roundKey(key);
    for (int i = 19; i >= 0; --i) {
        for (size_t k = 0; k < key.size(); ++k)
            roundKey[k] = char(uint8_t(key[k]) ^ i);
        user = Rc4::Crypt(roundKey, user);
    }
    return user;
}

// Revisions 2 to 4: the file key from a user password, or from an owner password.
bool ComputeRc4FileKey(const EncryptionValues& values, std::string_view password, size_t keyLength,
                       std::string* fileKey)
{
    if (values.O.size() < 32 || values.U.size() < (values.R == 2 ? 32u : 16u))
        return false;
    *fileKey = DeriveRc4FileKey(values, password, keyLength);
    if (MatchesUserEntry(values, *fileKey))
        return true;
    const std::string user = UserPasswordFromOwner(values, password, keyLength);
    *fileKey = DeriveRc4FileKey(values, user, keyLength);
    return MatchesUserEntry(values, *fileKey);
}

// The revision 5 and 6 password hash of `password` with an 8-byte salt (and, for owner
// passwords, the 48-byte /U entry).
std::string Aes256PasswordHash(int revision, std::string_view password, std::string_view salt,
                               std::string_view userEntry)
{
    if (revision >= 6)
        return HardenedHash(password, salt, userEntry);
    Sha256 sha;
    sha.Update(password);
    sha.Update(salt);
    sha.Update(userEntry);
    return AsString(sha.Final(), 32);
}

// Revisions 5 and 6: check the password as user password against /U, then as owner password
// against /O, and unwrap the file key from /UE or /OE.
bool ComputeAes256FileKey(const EncryptionValues& values, std::string_view password, std::string* fileKey)
{
    password = password.substr(0, 127);
    const std::string zeroIv(kAesBlockSize, '\0');
    if (values.U.size() < 48)
        return false;
    const std::string_view u = std::string_view(values.U).substr(0, 48);
    if (values.UE.size() >= 32 && Aes256PasswordHash(values.R, password, u.substr(32, 8), {}) == u.substr(0, 32)) {
        const std::string key = Aes256PasswordHash(values.R, password, u.substr(40, 8), {});
        return AesCbcDecrypt(key, zeroIv, std::string_view(values.UE).substr(0, 32), false, fileKey);
    }
    if (values.O.size() >= 48 && values.OE.size() >= 32) {
        const std::string_view o(values.O);
        if (Aes256PasswordHash(values.R, password, o.substr(32, 8), u) == o.substr(0, 32)) {
            const std::string key = Aes256PasswordHash(values.R, password, o.substr(40, 8), u);
            return AesCbcDecrypt(key, zeroIv, std::string_view(values.OE).substr(0, 32), false, fileKey);
        }
    }
    return false;
}

}  // namespace

std::unique_ptr<SecurityHandler> SecurityHandler::Open(const EncryptionValues& values, std::string_view password)
{
    try {
        if (values.R < 2 || values.R > 6)
            return nullptr;
        std::unique_ptr<SecurityHandler> handler(new SecurityHandler());
        const bool cryptFilters = values.V >= 4;
        if (cryptFilters) {
            if (!ResolveFilter(values, values.StrF, &handler->stringMethod_) ||
                !ResolveFilter(values, values.StmF, &handler->streamMethod_)) {
                return nullptr;
            }
            for (const auto& [name, cfm] : values.FilterMethods) {
                CryptMethod method;
                if (MethodFromName(cfm, &method))
                    handler->filterMethods_.emplace(name, method);
            }
            handler->encryptMetadata_ = values.EncryptMetadata;
        } else if (values.V != 1 && values.V != 2) {
            return nullptr;  // V 0 is undocumented, V 3 unpublished
        }

        if (values.R >= 5) {
            if (!ComputeAes256FileKey(values, password, &handler->fileKey_))
                return nullptr;
        } else {
            const bool usesAes =
                handler->stringMethod_ == CryptMethod::kAes128 || handler->streamMethod_ == CryptMethod::kAes128;
            const size_t keyLength = Rc4KeyLength(values, cryptFilters && usesAes);
            if (!ComputeRc4FileKey(values, password, keyLength, &handler->fileKey_))
                return nullptr;
        }
        // AES-256 takes the file key as it is, so it needs a 32-byte one.
        const bool usesAes256 =
            handler->stringMethod_ == CryptMethod::kAes256 || handler->streamMethod_ == CryptMethod::kAes256;
        if (usesAes256 && handler->fileKey_.size() != 32)
            return nullptr;
        return handler;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool SecurityHandler::Decrypt(CryptMethod method, uint32_t num, uint16_t gen, std::string_view in,
                              std::string* out) const
{
    out->clear();
    try {
        if (method == CryptMethod::kNone) {
            out->assign(in);
            return true;
        }
        std::string key;
        if (method == CryptMethod::kAes256) {
            if (fileKey_.size() != 32)
                return false;
            key = fileKey_;
        } else {
            // Algorithm 1: the object key mixes the object number and generation into the file key.
            Md5 md5;
            md5.Update(fileKey_);
            const uint8_t id[5] = {uint8_t(num), uint8_t(num >> 8), uint8_t(num >> 16), uint8_t(gen),
                                   uint8_t(gen >> 8)};
            md5.Update(id, sizeof id);
            if (method == CryptMethod::kAes128)
                md5.Update("sAlT", 4);
            key = AsString(md5.Final(), std::min<size_t>(fileKey_.size() + 5, 16));
        }
        if (method == CryptMethod::kRc4) {
            *out = Rc4::Crypt(key, in);
            return true;
        }
        // AES: a 16-byte IV, then CBC blocks with PKCS#7 padding. Some files count a stray end of
        // line into the stream length; the partial block it makes is dropped before unpadding.
        if (in.empty())
            return true;
        if (in.size() < kAesBlockSize)
            return false;
        std::string_view body = in.substr(kAesBlockSize);
        body = body.substr(0, body.size() / kAesBlockSize * kAesBlockSize);
        return AesCbcDecrypt(key, in.substr(0, kAesBlockSize), body, true, out);
    } catch (const std::bad_alloc&) {
        out->clear();
        return false;
    }
}

bool SecurityHandler::DecryptString(uint32_t num, uint16_t gen, std::string_view in, std::string* out) const
{
    return Decrypt(stringMethod_, num, gen, in, out);
}

bool SecurityHandler::DecryptStream(uint32_t num, uint16_t gen, std::string_view in, std::string* out) const
{
    return Decrypt(streamMethod_, num, gen, in, out);
}

bool SecurityHandler::DecryptStreamWithFilter(std::string_view filterName, uint32_t num, uint16_t gen,
                                              std::string_view in, std::string* out) const
{
    if (filterName == "Identity")
        return Decrypt(CryptMethod::kNone, num, gen, in, out);
    const auto it = filterMethods_.find(filterName);
    if (it == filterMethods_.end()) {
        out->clear();
        return false;
    }
    return Decrypt(it->second, num, gen, in, out);
}

// The document's decryptor: the handler opened from the /Encrypt dictionary.

namespace {

class StandardDecryptor : public Decryptor {
public:
    explicit StandardDecryptor(std::unique_ptr<SecurityHandler> handler) : handler_(std::move(handler)) { }

    std::string DecryptString(Ref ref, const std::string& bytes) override
    {
        std::string out;
        if (!handler_->DecryptString(static_cast<uint32_t>(ref.num), static_cast<uint16_t>(ref.gen), bytes, &out))
            return std::string();
        return out;
    }
    std::string DecryptStream(Ref ref, const std::string& bytes) override
    {
        std::string out;
        if (!handler_->DecryptStream(static_cast<uint32_t>(ref.num), static_cast<uint16_t>(ref.gen), bytes, &out))
            return std::string();
        return out;
    }
    std::string DecryptStreamWithFilter(const std::string& filter, Ref ref, const std::string& bytes) override
    {
        std::string out;
        if (!handler_->DecryptStreamWithFilter(filter, static_cast<uint32_t>(ref.num), static_cast<uint16_t>(ref.gen),
                                               bytes, &out))
            return std::string();
        return out;
    }
    bool EncryptsMetadata() const override { return handler_->EncryptsMetadata(); }

private:
    std::unique_ptr<SecurityHandler> handler_;
};

}  // namespace

std::unique_ptr<Decryptor> OpenDecryptor(const Dict& encrypt, const std::string& firstId, SecurityStatus* status)
{
    *status = SecurityStatus::Unsupported;
    if (!encrypt.Get("Filter").IsName("Standard"))
        return nullptr;  // public-key and other handlers need keys we do not have
    EncryptionValues v;
    v.V = encrypt.Get("V").GetIntClamped(0);
    v.R = encrypt.Get("R").GetIntClamped(0);
    v.Length = encrypt.Get("Length").GetIntClamped(40);
    v.O = encrypt.Get("O").Str();
    v.U = encrypt.Get("U").Str();
    v.OE = encrypt.Get("OE").Str();
    v.UE = encrypt.Get("UE").Str();
    v.Perms = encrypt.Get("Perms").Str();
    v.P = static_cast<int32_t>(static_cast<uint32_t>(encrypt.Get("P").GetInt(0) & 0xFFFFFFFF));
    v.EncryptMetadata = encrypt.Get("EncryptMetadata").GetBool(true);
    v.FileId0 = firstId;
    if (encrypt.Get("StmF").IsName())
        v.StmF = encrypt.Get("StmF").Str();
    if (encrypt.Get("StrF").IsName())
        v.StrF = encrypt.Get("StrF").Str();
    if (encrypt.Get("EFF").IsName())
        v.EFF = encrypt.Get("EFF").Str();
    for (const auto& cf : encrypt.Get("CF").GetDict().Items()) {
        const Object& method = cf.second["CFM"];
        v.FilterMethods[cf.first] = method.IsName() ? method.Str() : std::string();
    }
    std::unique_ptr<SecurityHandler> handler = SecurityHandler::Open(v);
    if (!handler) {
        // The handler could not open the file with the empty password.
        *status = (v.R >= 2 && v.R <= 6) ? SecurityStatus::NeedsPassword : SecurityStatus::Unsupported;
        return nullptr;
    }
    *status = SecurityStatus::Ok;
    return std::make_unique<StandardDecryptor>(std::move(handler));
}

}  // namespace halvane
