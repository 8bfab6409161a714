// Whole-file reading for tests that compare written files.
#pragma once
#include <fstream>
#include <sstream>
#include <string>

inline std::string read_file(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}
