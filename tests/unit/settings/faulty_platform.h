// The fake platform with the failures that settings files must survive:
// files that exist but cannot be read, and writes at a file's start that
// stop part way after the file was made.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "support/fake_platform.h"

namespace tav::test {

struct FaultyPlatform : FakePlatform {
    std::set<std::string> unreadable;
    // When set, write_file_start leaves only this many bytes and reports failure.
    std::optional<size_t> short_start_write;

    std::optional<std::string> read_file(const std::string& path) override {
        if (unreadable.count(path)) return std::nullopt;
        return FakePlatform::read_file(path);
    }
    bool write_file_start(const std::string& path, std::string_view bytes) override {
        if (!short_start_write) return FakePlatform::write_file_start(path, bytes);
        FakePlatform::write_file_start(path, bytes.substr(0, *short_start_write));
        return false;
    }
};

}  // namespace tav::test
