#include "safety/sha256.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "base/safe_file.h"

namespace safety {
namespace {

constexpr std::array<std::uint32_t, 64> roundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::array<std::uint32_t, 8> initialState = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr std::uint32_t rotateRight(std::uint32_t value, int bits) {
    return (value >> bits) | (value << (32 - bits));
}

constexpr std::size_t fileChunkBytes = 64 * 1024;

}  // namespace

Sha256::Sha256() : m_state(initialState) {}

void Sha256::compressBlock(const std::uint8_t* block) {
    std::array<std::uint32_t, 64> schedule;
    for (int i = 0; i < 16; ++i) {
        schedule[i] = std::uint32_t(block[4 * i]) << 24 | std::uint32_t(block[4 * i + 1]) << 16 |
                      std::uint32_t(block[4 * i + 2]) << 8 | std::uint32_t(block[4 * i + 3]);
    }
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = rotateRight(schedule[i - 15], 7) ^
                                 rotateRight(schedule[i - 15], 18) ^ (schedule[i - 15] >> 3);
        const std::uint32_t s1 = rotateRight(schedule[i - 2], 17) ^
                                 rotateRight(schedule[i - 2], 19) ^ (schedule[i - 2] >> 10);
        schedule[i] = schedule[i - 16] + s0 + schedule[i - 7] + s1;
    }
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    std::uint32_t e = m_state[4], f = m_state[5], g = m_state[6], h = m_state[7];
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t s1 = rotateRight(e, 6) ^ rotateRight(e, 11) ^ rotateRight(e, 25);
        const std::uint32_t choice = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + s1 + choice + roundConstants[i] + schedule[i];
        const std::uint32_t s0 = rotateRight(a, 2) ^ rotateRight(a, 13) ^ rotateRight(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = s0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
    m_state[4] += e;
    m_state[5] += f;
    m_state[6] += g;
    m_state[7] += h;
}

void Sha256::update(std::span<const std::uint8_t> bytes) {
    m_totalBytes += bytes.size();
    std::size_t offset = 0;
    if (m_blockUsed > 0) {
        while (offset < bytes.size() && m_blockUsed < m_block.size()) {
            m_block[m_blockUsed++] = bytes[offset++];
        }
        if (m_blockUsed < m_block.size()) {
            return;
        }
        compressBlock(m_block.data());
        m_blockUsed = 0;
    }
    // Whole blocks straight from the caller's buffer; only the tail is copied.
    for (; bytes.size() - offset >= m_block.size(); offset += m_block.size()) {
        compressBlock(bytes.data() + offset);
    }
    while (offset < bytes.size()) {
        m_block[m_blockUsed++] = bytes[offset++];
    }
}

void Sha256::update(std::string_view bytes) {
    update(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

Sha256Digest Sha256::finish() {
    const std::uint64_t totalBits = m_totalBytes * 8;
    // Padding: one 1 bit, zeros up to 56 bytes into a block, then the length in bits.
    m_block[m_blockUsed++] = 0x80;
    if (m_blockUsed > 56) {
        std::fill(m_block.begin() + m_blockUsed, m_block.end(), 0);
        compressBlock(m_block.data());
        m_blockUsed = 0;
    }
    std::fill(m_block.begin() + m_blockUsed, m_block.begin() + 56, 0);
    for (int i = 0; i < 8; ++i) {
        m_block[56 + i] = std::uint8_t(totalBits >> (56 - 8 * i));
    }
    compressBlock(m_block.data());
    Sha256Digest digest;
    for (int i = 0; i < 8; ++i) {
        digest[4 * i] = std::uint8_t(m_state[i] >> 24);
        digest[4 * i + 1] = std::uint8_t(m_state[i] >> 16);
        digest[4 * i + 2] = std::uint8_t(m_state[i] >> 8);
        digest[4 * i + 3] = std::uint8_t(m_state[i]);
    }
    return digest;
}

Sha256Digest sha256(std::span<const std::uint8_t> bytes) {
    Sha256 hash;
    hash.update(bytes);
    return hash.finish();
}

Sha256Digest sha256(std::string_view bytes) {
    Sha256 hash;
    hash.update(bytes);
    return hash.finish();
}

std::optional<Sha256Digest> sha256OfFile(const std::filesystem::path& path,
                                         ui::SystemError& error) {
    std::FILE* file = base::openForReading(path, error);
    if (file == nullptr) {
        return std::nullopt;
    }
    Sha256 hash;
    std::vector<std::uint8_t> chunk(fileChunkBytes);
    for (;;) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
        hash.update(std::span(chunk.data(), got));
        if (got < chunk.size()) {
            break;
        }
    }
    const bool failed = std::ferror(file) != 0;
    const int code = errno;
    std::fclose(file);
    if (failed) {
        error = ui::errnoError(base::pathText(path), "read", code != 0 ? code : EIO);
        return std::nullopt;
    }
    return hash.finish();
}

std::string toHex(const Sha256Digest& digest) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (const std::uint8_t byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

std::optional<Sha256Digest> digestFromHex(std::string_view text) {
    if (text.size() != 64) {
        return std::nullopt;
    }
    const auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    Sha256Digest digest;
    for (std::size_t i = 0; i < digest.size(); ++i) {
        const int high = nibble(text[2 * i]);
        const int low = nibble(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        digest[i] = std::uint8_t(high << 4 | low);
    }
    return digest;
}

}  // namespace safety
