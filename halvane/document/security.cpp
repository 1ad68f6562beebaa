#include "halvane/document/security.h"

#if __has_include("halvane/document/security_handler.h")
#include "halvane/document/security_handler.h"
#define HALVANE_HAVE_SECURITY_HANDLER 1
#endif

namespace halvane {

#ifdef HALVANE_HAVE_SECURITY_HANDLER

namespace {

class StandardDecryptor : public Decryptor {
public:
    explicit StandardDecryptor(std::unique_ptr<SecurityHandler> handler) : handler_(std::move(handler)) {}

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

#else

std::unique_ptr<Decryptor> OpenDecryptor(const Dict& encrypt, const std::string& firstId, SecurityStatus* status)
{
    (void)encrypt;
    (void)firstId;
    *status = SecurityStatus::Unsupported;
    return nullptr;
}

#endif

}  // namespace halvane
