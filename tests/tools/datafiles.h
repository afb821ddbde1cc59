#pragma once
// Where the build put the generated data files, and reading one whole.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string dataPath(const std::string& fileName)
{
    return std::string(QUILLOM_DATA_DIR) + "/" + fileName;
}

/// The file's bytes; empty when it cannot be read.
inline std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
