// SHA-256, for telling whether an update file is still the one a broken update used.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/system_error.h"

namespace safety {

using Sha256Digest = std::array<std::uint8_t, 32>;

// Incremental hashing: update() any number of times, then finish() once.
class Sha256 {
  public:
    Sha256();
    void update(std::span<const std::uint8_t> bytes);
    void update(std::string_view bytes);
    Sha256Digest finish();

  private:
    void compressBlock(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_blockUsed = 0;
    std::uint64_t m_totalBytes = 0;
};

Sha256Digest sha256(std::span<const std::uint8_t> bytes);
Sha256Digest sha256(std::string_view bytes);

// Reads the file in chunks, so a large image is never held whole. nullopt with the failing
// call in error when the file cannot be opened or read.
[[nodiscard]] std::optional<Sha256Digest> sha256OfFile(const std::filesystem::path& path,
                                                       ui::SystemError& error);

// Lower-case hexadecimal, 64 characters.
std::string toHex(const Sha256Digest& digest);
// The digest back from 64 hexadecimal characters (either case); nullopt for anything else.
std::optional<Sha256Digest> digestFromHex(std::string_view text);

}  // namespace safety
