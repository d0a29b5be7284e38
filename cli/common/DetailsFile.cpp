#include "cli/common/DetailsFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace quillon::cli {
inline namespace common {

std::optional<std::string> ReadDetailsFile(const std::string& name, std::string& error) {
    const bool standardInput = name == "-";
    const std::string shown = standardInput ? std::string("standard input") : "'" + name + "'";
    std::ifstream file;
    std::istream* stream = &std::cin;
    if (!standardInput) {
        std::error_code code;
        if (std::filesystem::is_directory(name, code)) {
            error = shown + " is a folder, not a file; give the file with the output of 'ip "
                            "-details link show can0'";
            return std::nullopt;
        }
        file.open(name, std::ios::binary);
        if (!file) {
            error = "cannot read " + shown + ": " + std::strerror(errno);
            return std::nullopt;
        }
        stream = &file;
    }
    std::string text;
    char buffer[4096];
    while (stream->read(buffer, sizeof buffer) || stream->gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(stream->gcount()));
        if (text.size() > kLongestDetails) {
            error = shown + " is longer than " + std::to_string(kLongestDetails) +
                    " bytes; give the output of 'ip -details link show' alone";
            return std::nullopt;
        }
    }
    if (stream->bad()) {
        error = "cannot read " + shown + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        error = shown + " is empty; give it the output of 'ip -details link show can0'";
        return std::nullopt;
    }
    return text;
}

} // namespace common
} // namespace quillon::cli
