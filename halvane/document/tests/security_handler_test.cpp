// The standard security handler against values, objects and plaintext taken from real
// encrypted files (checked by an independent reader), plus malformed values and data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "halvane/document/security_handler.h"
#include "halvane/crypto/tests/hex.h"

namespace halvane {
namespace {

using halvane_test::FromHex;
using halvane_test::ToHex;

enum Kind { kString, kStream };

struct FileCase {
    const char* label;
    int v, r, length;
    int32_t p;
    bool encryptMetadata;
    const char* cfm;  // method of the one crypt filter /StdCF (V 4 and 5), else empty
    const char* o;
    const char* u;
    const char* oe;
    const char* ue;
    const char* id0;
    const char* password;  // user or owner password; empty for files that open without one
    Kind kind;
    uint32_t num;
    uint16_t gen;
    const char* ciphertext;
    const char* plaintext;
};

// Writers: LibreOffice, ReportBuilder, scanning and PDF libraries, and a few made with a
// command-line encryption tool (V4 RC4, R4 with metadata in the clear, R5 with an empty
// password, owner passwords of every revision), which no published sample covers.
const FileCase kFiles[] = {
    {"rc4-40 R2", 1, 2, 40, -20, true, "", "7a7729508b079b14e9c34dd87c4d9f983b48715059d6a28ffab167029d4eceaf",
     "988d0bb009fa1885e82135e3bc6618fabbc4a08e7edea3122aa11c1890e59329", "", "", "1a3002eb383de2cf3e7ad5fdd4529649", "",
     kString, 11, 0, "3b39b8b6f2e0c312b431f6a7b85e2a37", "\376\377N\nTh[\214b\020v\204]\345O\\"},
    {"rc4-40 R2, ID as text", 1, 2, 40, -60, true, "",
     "83016a0b91ea6d50cc9ba60d02eaf3f2afb428736e66b5ff6420da9707a1f61b",
     "f892e657be3f677a91a5e1c11631d9df9323c8a8d281a5599d2ae83aa50b3511", "", "",
     "45373634384138442d443739302d343842462d384337332d383043424336364343383541", "", kString, 2, 0,
     "379439ced00b21876755cee88071d164", "D:20130801125645"},
    {"rc4-40 R2, no ID", 1, 2, 40, -8, true, "", "2055c756c72e1ad702608e8196acad447ad32d17cff583235f6dd15fed7dab67",
     "3dd10f68c622f77c202fc53a35f6315e4e7ce53d043b06c36b9c9dab55d904fd", "", "", "", "", kStream, 6, 0,
     "3145f199ca477df28b4bfe55bf75b81befc1f0f63f4314e3dffbc5c2", "q 595 0 0 842 0 0 cm/I1 Do Q"},
    {"rc4-128 R3, P stored unsigned", 2, 3, 128, -1836, true, "",
     "36451bd39d753b7c1d10922c28e6665aa4f3353fb0348b536893e3b1db5c579b",
     "855e0d0c27f7e8c1eb9469dfaf45141500000000000000000000000000000000", "", "", "dd24e32762dd3ea201161d74bdf20854", "",
     kString, 7, 0, "6e63c0ede6c9c104341c7c3f924bbfbe", "D:20180611140829"},
    {"rc4-128 R3, user password", 2, 3, 128, -1028, true, "",
     "27ee85c8447a38715eae7d6003dc487619ca05a05b68b65eccaa26394df7169c",
     "8fc5f6b7b6105307bb68b58098b6884800000000000000000000000000000000", "", "", "401d00642aa19414cca931828bf769b3",
     "openpassword", kString, 13, 0, "955fcdcbd8f4fb0f83542925e55dd25ea072ac2643e801", "D:20220403203552+02'00'"},
    {"rc4-128 V4 crypt filter", 4, 4, 128, -4, true, "V2",
     "566fa873ee33c797cd3b904fdadf814afa34df9a38f6ed41b984e2c6da2aa6f5",
     "60cb14e897d58381f951427876a780410122456a91bae5134273a6db134c87c4", "", "", "00112233445566778899aabbccddeeff", "",
     kStream, 5, 0,
     "bf5557cbbefa5bb57f1d2d7df7bbe5826af6f991a2a50142d0a0a0251379746045818d3ab6fb4a08f4963675d583d5ddbb",
     "BT /F1 12 Tf 10 50 Td (Hello, sealed world) Tj ET"},
    {"aes-128 R4 stream", 4, 4, 128, -12, true, "AESV2",
     "77b612c22e972b9e3cb9e3c7009871615cbe327ca481c0c23e0a0dc9985e6a0c",
     "0f94032f09e06cf0bbb16d7a21abd02a00000000000000000000000000000000", "", "", "aa4054f5961b7aed9b0f8c9eeefcfb13", "",
     kStream, 37, 0, "7a0b3edbb5d458732c5312eee0154033b714d2b1d1aa8689d7ee2b62badb27f0", "/Tx BMC\nEMC\n"},
    {"aes-128 R4 string", 4, 4, 128, -12, true, "AESV2",
     "77b612c22e972b9e3cb9e3c7009871615cbe327ca481c0c23e0a0dc9985e6a0c",
     "0f94032f09e06cf0bbb16d7a21abd02a00000000000000000000000000000000", "", "", "aa4054f5961b7aed9b0f8c9eeefcfb13", "",
     kString, 1, 0, "e12a5e0d2068d944aeab2b1b44a4ef9789ba57a3d9ab3133c0976b9cb3b1c87f", "Frank Voci"},
    {"aes-128 R4, whole padding block", 4, 4, 128, -1028, true, "AESV2",
     "3e03bd9b6635c12b7649e40d26e05bffbd275f24a9b8d2868e3bde30e22b8116",
     "c0210e90b8c83b9b3351496a4f2a67b300000000000000000000000000000000", "", "", "6150494d6dac214e95ab866fdaa1ba66", "",
     kStream, 75, 0, "8dbb8825edd86962539f5828584b9164e63492f39da32b599b7d110aa52c8763b5ab52f9ca145388c4336a283b0af48e",
     "BT\n/TRP11 gs ET\n"},
    {"aes-128 R4, metadata in the clear", 4, 4, 128, -4, false, "AESV2",
     "566fa873ee33c797cd3b904fdadf814afa34df9a38f6ed41b984e2c6da2aa6f5",
     "f0f7c87fb23817126b08c0e97fa3e2df0122456a91bae5134273a6db134c87c4", "", "", "00112233445566778899aabbccddeeff", "",
     kString, 2, 0, "1abe1f1807e1acd7828ab43447b27a35828e1e3916e8da8f010375b4e98aa08d", "hand made"},
    {"aes-256 R5", 5, 5, 256, -4, true, "AESV3",
     "f2680eb9630e39a153eb92c60c44f8fbcedb26c9d0aac9121f1e3831aac8b51a961eeaf174b59844075dbbd6519bde75",
     "2562a87de56c887fcf6393028d51c497ff5dcefb55c2a8ac886219640a06a5070dbd3af258e6fea5722555e5fa0923de",
     "c6cb8db2cf4b45693fe92d76bd01cdbc789b06f11e5baae954c2ca38ed577166",
     "97e5308ad35b88242aeb086728fa407de9335470b67d2d337ca49826a1e09dad", "00112233445566778899aabbccddeeff", "",
     kStream, 5, 0,
     "1ab5c2638e1aedbdfbbe2ec5001d88bff7c52aeb553eee9ff1a003427fcd7b93953eb03ebdfa7f11e12e0bee572a4ccf3bdb6a9021646bab9"
     "d582d034f230915dae55d979e70ade6e817b83b223c4ea2",
     "BT /F1 12 Tf 10 50 Td (Hello, sealed world) Tj ET"},
    {"aes-256 R5, user password", 5, 5, 256, -1084, true, "AESV3",
     "11a87c9828ff85b48313afc624b0058f2dd5deab7f8f22b7195d7c70d54dc902e69b607db9189e5e3ccf2727c92ad78d",
     "1a535ba22f2dd1cf9f37cf7540fb3a2d0f82d9ea49db2f1e1cfd5118952d3dcc34c814ad2cc29313002d79de31df86a0",
     "8258b70fd814a1d61fbb226f93e39f1f2dbf60b91a30449a1dfa5db1e7b91db7",
     "ee4139e2e22728c58b69a73cb2aea4f0a8f759f895c5d1295751820432a238b6", "ebe10ec29fe4d91144c3c193b4289fe6",
     "p\303\244ssw\303\266rt", kStream, 4, 0,
     "c7db7e278725358d2c49c2e3484e065c57c1e330102e61843d4122c6fbfaaaf62b72d613b1d048882805e6c9ca6d82ce269138f7a09d517c4"
     "5736167e16541e444c976ba99cc2762a4615b507bfe2d1992e48b81a11b1e125147d4b1b57e61117a0e37e5c9adc29113557cd22468871a73"
     "3dc200fb4739fedd3bfe3c32e02fb9138d72145c7ada1fddbf363c0356d0aaea672fa0a46470ad92bb99454a5a1f58",
     "BT /F1 16 Tf 24 150 Td (repro1a: AES-256 R5, password 'passwoert' with umlauts) Tj\n0 -28 Td (If you can read "
     "this, decryption succeeded.) Tj ET"},
    {"aes-256 R6 string", 5, 6, 256, -4, true, "AESV3",
     "d74fb687dcaffbdd98fe08297a939376dc6f8741885d5f950fc7c493025e69abeb719b69e552a3635d295d3fd74748ab",
     "4ac3625a9c52e75946369b3b409be421b8ad3dd653ecbfaf2a3ef3ab8f5336461c8c8ad6971383f5f03f14d256793210",
     "e06a7affd6669d3d11a08369882b6c9cfbb3bc766ae5adc6299bd01ebbb86ed8",
     "db789efc1aa54ca5d679a1d43c7297f97109f8850bd8976537a320e0e1f52040", "9f84599e8ede8672ec352210aa97bd96", "",
     kString, 1, 0, "19f7f88af0429205bc0ccc2e8ad898aea8abc26ed1fefad1bef365bedbdcbeb7", "en-US"},
    {"aes-256 R6 stream, empty owner password", 5, 6, 256, -4, true, "AESV3",
     "384415c370731d581955244d1e475204d084d4b5be9a943e55f0a21d0a354d86002175233d6899ac4a244104ea74aaaa",
     "86270432ecb25433a37e461bfc3721bed1d73810583503f1be6afb42ad523da86adfe4b76358edf0738fbc8e053fb121",
     "f7f37b88c6dd4b324fab3d67ba09f6293b2cd9d2b6433a06a93bd81d9dd9e5ea",
     "556ca676e248a3198b38f63302d3ff73c316b0e5b60010714ba511ae91687686", "208de94dfc78329ba23e0da6154335b8", "",
     kStream, 9, 0,
     "ee7f5c2c97bd23f32bc79e7ad38276c5455530095ad567f9cbb6d7755b5f69c7458320b15b65647c0789b862ee086ca8b61f6b20276142fe1"
     "b0a5c15be874064f3bb72f872d2b9e7c05ba7eecbe203ad0194114f969007e84f42ee967a8a5dae662469be723969d09ad55c6b8d53bda23a"
     "982fa627d0a6375ac95035a4074e9ab74d14d6ccb384e159bc9e3c13cf1a114aba4b6457b2c6ec5d9f4a022a5f1947",
     "q 1 0 0 1 0 0 cm 1 1 1 rg 1 0 0 RG 0 w BT 1 0 0 rg /Helv 12 Tf 1 0 0 1 34.30177 735.9467 Tm (Bluebeam should be "
     "encrypting this.) Tj ET Q "},
    {"aes-256 R6, user password", 5, 6, 256, -4, true, "AESV3",
     "047761f7f568bfacb096382f2fc7cc94ffd87f33dc472ca4a3a3a78c739c77df26a794a7819aff59b3b85780c0fafe9f",
     "446ea469061c56060b56fa0296bfd32cc54fa9175e92ef5c0b945f4c810e309a03af4a2ff103bbd4db065e036f78ac4c",
     "65012afdd09b34431117b9fa5f557202940dece9758d53c61fc5ff436cf2515c",
     "71071c8c117abc19d26b5efc44a080667ef3c3665ad3bc8f5f5b58126a15d931", "5e9b54f40d14faa4bcd53932cf71689a",
     "usersecret", kStream, 5, 0,
     "561db66c6d5fa8d8ad79363ee68223cb3b661aae613e7cefd64a0b92e0b89cb220c7945e14fbc20bb490e7811116229d4628559a78c4bd4d4"
     "af08fb889d1c288209321af373fb74e643c91ae7f0f7539",
     "  BT\n    /F1 18 Tf\n    0 0 Td\n    (Hello World) Tj\n  ET"},
    {"rc4-40 R2, owner password", 1, 2, 40, -4, true, "",
     "92fe0f4454ad4c9644693f33c07cb54f587dce1e2682fe9ecea6107a1ef630dd",
     "f4c3199cb21e35b4bd6c22a97a2acca13b084d9016256900cd312e0758df7e6f", "", "", "00112233445566778899aabbccddeeff",
     "owner", kStream, 5, 0,
     "d782c07694e957d5670baaddb8bc3d585ea714eebed0b197820c60f6d8e04c92c3852e9529a672e517a72b16e1a94dba91",
     "BT /F1 12 Tf 10 50 Td (Hello, sealed world) Tj ET"},
    {"rc4-128 R3, owner password", 2, 3, 128, -4, true, "",
     "0db5855fc5326569e765906caf64e4429a4c20d6e996fdef963e9b5080f9e083",
     "638dfec1a7337fa35a95f6d75d83fdbc0122456a91bae5134273a6db134c87c4", "", "", "00112233445566778899aabbccddeeff",
     "owner", kStream, 5, 0,
     "cdd7f5492139d64811c742437e4558fe6f35f66f9635f9883c9e52121e380dbeac15c4fc4256e9339e98935e5102561965",
     "BT /F1 12 Tf 10 50 Td (Hello, sealed world) Tj ET"},
    {"aes-128 R4, owner password", 4, 4, 128, -4, true, "AESV2",
     "0db5855fc5326569e765906caf64e4429a4c20d6e996fdef963e9b5080f9e083",
     "638dfec1a7337fa35a95f6d75d83fdbc0122456a91bae5134273a6db134c87c4", "", "", "00112233445566778899aabbccddeeff",
     "owner", kStream, 5, 0,
     "6f39f42a3a58ca24f3f3466707fba1a435e46c2c3fea4d90f162ffe5bad1330e05d0ce4d73093666498a170fdec1843d00d613f123e9775ef"
     "7185d4b6529356fb4960752b0f33a766428d56180568469",
     "BT /F1 12 Tf 10 50 Td (Hello, sealed world) Tj ET"},
    {"aes-256 R5, owner password", 5, 5, 256, -4, true, "AESV3",
     "9b560c852cfce710a2d2f1c59fb4b0a22107e8b094aff35ab60e679e2bc5e0d903280dfd1417b215f1ef5d3b34de9654",
     "afc14b06b407f87f2ea1707bcb8c542ee6a6866613db5f4cecb340f297e84fcc74fc41b3f9c3641b4e593bf0d68a05e6",
     "fbc45a4d25d2db814034a026d3eb372418e0ac2e597a36898a80ab7015af78b8",
     "170c10a3b2c030d0dc7d9e23e856fced81b4830eac44c752a375ef115543d3f2", "00112233445566778899aabbccddeeff", "owner",
     kStream, 5, 0,
     "8689d5719021047ec865da2bb8aa52c440060b708c738faa2203f53d42b27ec5405cbc9f109458cc22f45d4bf7ef061aa2a6e047bd19b61e8"
     "84617eaf6b86af9e7c9d1b84b510df70f15865312541256",
     "BT /F1 12 Tf 10 50 Td (Hello, sealed world) Tj ET"},
    {"aes-256 R6, owner password", 5, 6, 256, -4, true, "AESV3",
     "1c4f5d0bb6035a721a00b686483916d14a0051ad17e373babc26da96a5b4f6af2e8323b1aae06d7764c27bde87beebbd",
     "77bde7b7de57abd466f4c6c527f5a97de3308ac6ee576adced2f05e17ddbea0de7c8406128ae2ffd827ebcf62fb84e6a",
     "c59df3729300c60fb5c1bb9673305d44ad0bcb78cf9a28b10d791c178066853d",
     "5ecc54275fef6327416f1c2d58163ba9ef84ccd3b61b4dd6f6cdd557a1fb91ab", "00112233445566778899aabbccddeeff", "owner",
     kStream, 5, 0,
     "883f473fa88a5dd806e5157dd211887c2e2b11548654cb0715b23e5e8b378cbb183f0c46f7eb7a497b60d341348e36c06a4dff5c5e9edce67"
     "51e81c0b5c4415ddc3f50da3d0cefc9b56d9f4beb4d0ee1",
     "BT /F1 12 Tf 10 50 Td (Hello, sealed world) Tj ET"},
};

EncryptionValues ValuesOf(const FileCase& c)
{
    EncryptionValues values;
    values.V = c.v;
    values.R = c.r;
    values.Length = c.length;
    values.P = c.p;
    values.EncryptMetadata = c.encryptMetadata;
    values.O = FromHex(c.o);
    values.U = FromHex(c.u);
    values.OE = FromHex(c.oe);
    values.UE = FromHex(c.ue);
    values.FileId0 = FromHex(c.id0);
    if (*c.cfm != '\0') {
        values.StmF = values.StrF = "StdCF";
        values.FilterMethods["StdCF"] = c.cfm;
    }
    return values;
}

bool DecryptAs(const SecurityHandler& handler, const FileCase& c, std::string_view in, std::string* out)
{
    return c.kind == kString ? handler.DecryptString(c.num, c.gen, in, out)
                             : handler.DecryptStream(c.num, c.gen, in, out);
}

const FileCase& FindCase(std::string_view label)
{
    for (const FileCase& c : kFiles) {
        if (label == c.label)
            return c;
    }
    ADD_FAILURE() << "no case " << label;
    return kFiles[0];
}

TEST(SecurityHandlerTest, DecryptsRealFiles)
{
    for (const FileCase& c : kFiles) {
        SCOPED_TRACE(c.label);
        const EncryptionValues values = ValuesOf(c);
        const auto handler = SecurityHandler::Open(values, c.password);
        ASSERT_NE(handler, nullptr);
        std::string out;
        EXPECT_TRUE(DecryptAs(*handler, c, FromHex(c.ciphertext), &out));
        EXPECT_EQ(out, c.plaintext);
        EXPECT_EQ(handler->EncryptsMetadata(), c.encryptMetadata);
    }
}

TEST(SecurityHandlerTest, FilesNeedingAPasswordDoNotOpenWithTheEmptyOne)
{
    for (const FileCase& c : kFiles) {
        SCOPED_TRACE(c.label);
        if (*c.password != '\0') {
            EXPECT_EQ(SecurityHandler::Open(ValuesOf(c)), nullptr);
        }
        EXPECT_EQ(SecurityHandler::Open(ValuesOf(c), "not the password"), nullptr);
    }
}

// Every input of the key derivation matters: a change to any of them must fail the check,
// not yield a handler that decrypts to garbage.
TEST(SecurityHandlerTest, TamperedValuesFailThePasswordCheck)
{
    for (const char* label :
         {"rc4-40 R2", "rc4-128 R3, P stored unsigned", "aes-128 R4 stream", "aes-128 R4, metadata in the clear",
          "aes-256 R5", "aes-256 R6 string", "aes-256 R6 stream, empty owner password"}) {
        SCOPED_TRACE(label);
        const EncryptionValues good = ValuesOf(FindCase(label));
        ASSERT_NE(SecurityHandler::Open(good), nullptr);
        EncryptionValues bad = good;
        bad.U[3] ^= 1;
        EXPECT_EQ(SecurityHandler::Open(bad), nullptr);
        bad = good;
        bad.U[good.R >= 5 ? 35 : 20] ^= 1;  // R5/R6: the validation salt
        if (good.R == 3 || good.R == 4) {
            EXPECT_NE(SecurityHandler::Open(bad), nullptr);  // only the first 16 bytes are checked
        } else {
            EXPECT_EQ(SecurityHandler::Open(bad), nullptr);
        }
        if (good.R <= 4) {
            bad = good;
            bad.P ^= 4;
            EXPECT_EQ(SecurityHandler::Open(bad), nullptr);
            bad = good;
            bad.FileId0[0] ^= 1;
            EXPECT_EQ(SecurityHandler::Open(bad), nullptr);
            bad = good;
            bad.O[31] ^= 1;
            EXPECT_EQ(SecurityHandler::Open(bad), nullptr);
            if (good.R == 4) {
                bad = good;
                bad.EncryptMetadata = !good.EncryptMetadata;  // decides the 0xFFFFFFFF suffix
                EXPECT_EQ(SecurityHandler::Open(bad), nullptr);
            }
        }
    }
}

TEST(SecurityHandlerTest, MalformedValuesGiveNoHandler)
{
    const EncryptionValues r3 = ValuesOf(FindCase("rc4-128 R3, P stored unsigned"));
    const EncryptionValues r4 = ValuesOf(FindCase("aes-128 R4 stream"));
    const EncryptionValues r6 = ValuesOf(FindCase("aes-256 R6 string"));
    struct Case {
        const char* label;
        EncryptionValues values;
    };
    std::vector<Case> cases;
    auto add = [&cases](const char* label, EncryptionValues values, auto change) {
        change(values);
        cases.push_back({label, std::move(values)});
    };
    add("nothing set", EncryptionValues(), [](EncryptionValues&) {});
    add("R1", r3, [](EncryptionValues& v) { v.R = 1; });
    add("R7", r3, [](EncryptionValues& v) { v.R = 7; });
    add("V0", r3, [](EncryptionValues& v) { v.V = 0; });
    add("V3", r3, [](EncryptionValues& v) { v.V = 3; });
    add("short O", r3, [](EncryptionValues& v) { v.O.resize(31); });
    add("empty U", r3, [](EncryptionValues& v) { v.U.clear(); });
    add("short U", r3, [](EncryptionValues& v) { v.U.resize(15); });
    add("unknown stream filter", r4, [](EncryptionValues& v) { v.StmF = "Missing"; });
    add("unknown method", r4, [](EncryptionValues& v) { v.FilterMethods["StdCF"] = "AESV9"; });
    add("AES-256 with a 16-byte key", r4, [](EncryptionValues& v) { v.FilterMethods["StdCF"] = "AESV3"; });
    add("R6 short U", r6, [](EncryptionValues& v) { v.U.resize(47); });
    add("R6 short UE", r6, [](EncryptionValues& v) { v.UE.resize(31); });
    add("R6 no UE", r6, [](EncryptionValues& v) { v.UE.clear(); });
    for (const Case& c : cases) {
        EXPECT_EQ(SecurityHandler::Open(c.values), nullptr) << c.label;
    }
}

// Longer O and U strings occur (some writers pad them); only the leading bytes count.
TEST(SecurityHandlerTest, LongerOAndUAreAccepted)
{
    for (const char* label : {"rc4-40 R2", "aes-128 R4 stream", "aes-256 R6 string"}) {
        EncryptionValues values = ValuesOf(FindCase(label));
        values.O.append(16, '\0');
        values.U.append(16, '\0');
        values.UE.append(3, '\0');
        EXPECT_NE(SecurityHandler::Open(values), nullptr) << label;
    }
}

TEST(SecurityHandlerTest, AesDataOfAnyLengthIsHandledSafely)
{
    const FileCase& c = FindCase("aes-128 R4 stream");  // 16-byte IV + one block
    const auto handler = SecurityHandler::Open(ValuesOf(c));
    ASSERT_NE(handler, nullptr);
    const std::string data = FromHex(c.ciphertext);
    std::string out = "stale";
    EXPECT_TRUE(handler->DecryptStream(c.num, c.gen, "", &out));
    EXPECT_EQ(out, "");
    out = "stale";
    EXPECT_FALSE(handler->DecryptStream(c.num, c.gen, data.substr(0, 15), &out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(handler->DecryptStream(c.num, c.gen, data.substr(0, 16), &out));  // IV only
    EXPECT_EQ(out, "");
    EXPECT_TRUE(handler->DecryptStream(c.num, c.gen, data.substr(0, 31), &out));  // no whole block
    EXPECT_EQ(out, "");
    // A stray end of line counted into the stream is ignored.
    EXPECT_TRUE(handler->DecryptStream(c.num, c.gen, data + "\r\n", &out));
    EXPECT_EQ(out, c.plaintext);
    // Another object's key gives other bytes, never a crash or an overrun.
    EXPECT_TRUE(handler->DecryptStream(c.num + 1, c.gen, data, &out));
    EXPECT_NE(out, c.plaintext);
    EXPECT_LE(out.size(), 16u);
}

TEST(SecurityHandlerTest, Aes256DataEdgeCases)
{
    const FileCase& c = FindCase("aes-256 R6 string");
    const auto handler = SecurityHandler::Open(ValuesOf(c));
    ASSERT_NE(handler, nullptr);
    std::string out;
    EXPECT_FALSE(handler->DecryptString(c.num, c.gen, "0123456789", &out));
    EXPECT_EQ(out, "");
    // AES-256 keys do not depend on the object: the same data decrypts under any number.
    EXPECT_TRUE(handler->DecryptString(c.num + 7, 3, FromHex(c.ciphertext), &out));
    EXPECT_EQ(out, c.plaintext);
}

TEST(SecurityHandlerTest, CryptFiltersByName)
{
    const FileCase& c = FindCase("aes-128 R4 stream");
    EncryptionValues values = ValuesOf(c);
    values.FilterMethods["Clear"] = "None";
    values.FilterMethods["Odd"] = "Rot13";  // unusable, but harmless until a stream names it
    values.StrF = "Identity";
    const auto handler = SecurityHandler::Open(values);
    ASSERT_NE(handler, nullptr);
    const std::string data = FromHex(c.ciphertext);
    std::string out;
    EXPECT_TRUE(handler->DecryptStreamWithFilter("StdCF", c.num, c.gen, data, &out));
    EXPECT_EQ(out, c.plaintext);
    EXPECT_TRUE(handler->DecryptStreamWithFilter("Identity", c.num, c.gen, data, &out));
    EXPECT_EQ(out, data);
    EXPECT_TRUE(handler->DecryptStreamWithFilter("Clear", c.num, c.gen, data, &out));
    EXPECT_EQ(out, data);
    EXPECT_FALSE(handler->DecryptStreamWithFilter("Odd", c.num, c.gen, data, &out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(handler->DecryptStreamWithFilter("Absent", c.num, c.gen, data, &out));
    // Strings under the Identity filter are stored in the clear.
    EXPECT_TRUE(handler->DecryptString(c.num, c.gen, "plain", &out));
    EXPECT_EQ(out, "plain");
}

TEST(SecurityHandlerTest, Rc4AcceptsAnyLength)
{
    const FileCase& c = FindCase("rc4-40 R2, no ID");
    const auto handler = SecurityHandler::Open(ValuesOf(c));
    ASSERT_NE(handler, nullptr);
    std::string out = "stale";
    EXPECT_TRUE(handler->DecryptString(c.num, c.gen, "", &out));
    EXPECT_EQ(out, "");
    // RC4 is a stream cipher: a prefix decrypts to the plaintext's prefix.
    EXPECT_TRUE(handler->DecryptStream(c.num, c.gen, FromHex(c.ciphertext).substr(0, 5), &out));
    EXPECT_EQ(out, "q 595");
}

}  // namespace
}  // namespace halvane
