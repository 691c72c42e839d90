#include "text_cipher.h"

#include <openssl/evp.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

#include "hex.h"
#include "windows1252.h"

namespace protocol {
namespace {

constexpr std::size_t kBlockSize = 16;

struct CipherContextDeleter {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

// Runs AES-128-ECB without padding over whole blocks in one direction.
bool RunCipher(const std::uint8_t* in, std::size_t length, std::uint8_t* out, const CipherKey& key,
               bool encrypt) {
    if (length == 0) return true;
    if (length % kBlockSize != 0 || length > static_cast<std::size_t>(INT_MAX)) return false;
    std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter> ctx(EVP_CIPHER_CTX_new());
    if (!ctx) return false;
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, key.data(), nullptr,
                          encrypt ? 1 : 0) != 1) {
        return false;
    }
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    int written = 0;
    if (EVP_CipherUpdate(ctx.get(), out, &written, in, static_cast<int>(length)) != 1) return false;
    int tail = 0;
    if (EVP_CipherFinal_ex(ctx.get(), out + written, &tail) != 1) return false;
    return static_cast<std::size_t>(written + tail) == length;
}

}  // namespace

std::optional<CipherKey> ParseCipherKey(std::string_view keyText) {
    if (keyText.size() != 16 * 3 - 1) return std::nullopt;
    CipherKey key{};
    for (std::size_t i = 0; i < key.size(); ++i) {
        std::size_t at = i * 3;
        if (i > 0 && keyText[at - 1] != ' ') return std::nullopt;
        int high = HexDigitValue(keyText[at]);
        int low = HexDigitValue(keyText[at + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        key[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return key;
}

std::optional<Bytes> EncryptText(std::string_view utf8Text, const CipherKey& key) {
    std::string ansi = Utf8ToWindows1252(utf8Text);
    std::size_t padded = (ansi.size() + kBlockSize - 1) / kBlockSize * kBlockSize;
    Bytes plain(padded, 0);
    std::copy(ansi.begin(), ansi.end(), plain.begin());
    Bytes out(padded);
    if (!RunCipher(plain.data(), padded, out.data(), key, true)) return std::nullopt;
    return out;
}

std::optional<std::string> DecryptText(ByteView data, const CipherKey& key) {
    Bytes out(data.size());
    if (!RunCipher(data.data(), data.size(), out.data(), key, false)) return std::nullopt;
    std::string ansi(out.begin(), out.end());
    if (auto nul = ansi.find('\0'); nul != std::string::npos) ansi.resize(nul);
    return Windows1252ToUtf8(ansi);
}

}  // namespace protocol
