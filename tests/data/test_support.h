// Helpers shared by the data tests: the source tree, scratch folders, little-endian reads and
// the check of a 24-bit BMP.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include <unistd.h>

namespace kxtest {

inline std::filesystem::path SourceDir() {
    if (const char* env = std::getenv("KX_SOURCE_DIR")) {
        return env;
    }
    return KX_SOURCE_PATH;
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& tag) {
        path_ = std::filesystem::temp_directory_path() /
                ("kx_" + tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
    static inline int counter_ = 0;
};

inline std::uint32_t Le16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
inline std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
// An uncompressed 24-bit BMP of the given size whose rows need no padding.
inline void ExpectBmp24(std::span<const std::uint8_t> b, std::uint32_t w, std::uint32_t h) {
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(&b[2]), b.size());
    EXPECT_EQ(Le32(&b[14]), 40u);
    EXPECT_EQ(Le32(&b[18]), w);
    EXPECT_EQ(Le32(&b[22]), h);
    EXPECT_EQ(Le16(&b[28]), 24u);
    EXPECT_EQ(Le32(&b[30]), 0u);  // uncompressed
    EXPECT_EQ(b.size(), 54u + w * 3u * h);
}

inline std::uint32_t Be32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

}  // namespace kxtest
