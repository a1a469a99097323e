#include "safety/sha256.h"

#include <gtest/gtest.h>

#include <string>

#include "temporary_folder.h"

namespace {

struct Vector {
    std::string message;
    const char* digest;
};

const std::vector<Vector>& vectors() {
    static const std::vector<Vector> table = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    return table;
}

TEST(Sha256, StandardVectors) {
    for (const Vector& vector : vectors()) {
        SCOPED_TRACE(vector.message.substr(0, 20));
        EXPECT_EQ(safety::toHex(safety::sha256(vector.message)), vector.digest);
    }
}

TEST(Sha256, PiecesOfAnySizeGiveTheSameDigest) {
    // Splits that cross the 64-byte blocks and the 56-byte padding boundary.
    const std::string& message = vectors()[2].message;  // 56 bytes
    for (std::size_t split : {1u, 55u, 56u, 63u, 64u, 65u, 127u}) {
        const std::string doubled = message + message + message;
        safety::Sha256 hash;
        for (std::size_t offset = 0; offset < doubled.size(); offset += split) {
            hash.update(std::string_view(doubled).substr(offset, split));
        }
        EXPECT_EQ(hash.finish(), safety::sha256(doubled)) << "split " << split;
    }
}

TEST(Sha256, FileIsHashedAsItsBytes) {
    TemporaryFolder folder;
    // Larger than one read chunk, so the streaming path runs more than once.
    const std::string content = std::string(1000000, 'a');
    writeText(folder / "image.bin", content);
    ui::SystemError error;
    const auto digest = safety::sha256OfFile(folder / "image.bin", error);
    ASSERT_TRUE(digest.has_value()) << error.describe();
    EXPECT_EQ(safety::toHex(*digest), vectors()[3].digest);

    EXPECT_FALSE(safety::sha256OfFile(folder / "missing.bin", error).has_value());
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.call, "open");
}

TEST(Sha256, HexRoundTripAndRefusals) {
    const safety::Sha256Digest digest = safety::sha256("abc");
    const std::string hex = safety::toHex(digest);
    EXPECT_EQ(safety::digestFromHex(hex), digest);
    std::string upper = hex;
    for (char& c : upper) {
        c = char(std::toupper(c));
    }
    EXPECT_EQ(safety::digestFromHex(upper), digest);
    EXPECT_FALSE(safety::digestFromHex(hex.substr(1)).has_value());
    EXPECT_FALSE(safety::digestFromHex(hex + "0").has_value());
    EXPECT_FALSE(safety::digestFromHex("g" + hex.substr(1)).has_value());
}

}  // namespace
