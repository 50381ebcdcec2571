#include "export/ReplacingFile.h"

#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

char activePath[4096];
std::atomic<bool> activeSet{false};

void setActive(const std::string& path) {
    if (path.size() >= sizeof activePath) return;
    activeSet = false;
    std::memcpy(activePath, path.c_str(), path.size() + 1);
    activeSet = true;
}

std::string randomSuffix() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 gen{std::random_device{}()};
    std::string s(6, 'x');
    for (char& c : s) c = letters[gen() % (sizeof letters - 1)];
    return s;
}

}  // namespace

const char* ReplacingFile::active() { return activeSet ? activePath : nullptr; }

std::FILE* ReplacingFile::open(const std::string& target, const char* mode) {
    discard();
    const fs::path path(target);
    for (int attempt = 0; attempt < 16 && !out_; ++attempt) {
        const fs::path candidate = path.parent_path() / ("." + path.filename().string() + ".harvex-" + randomSuffix());
        std::error_code ec;
        if (fs::exists(candidate, ec) || ec) continue;
        temporary_ = candidate.string();
        out_ = std::fopen(temporary_.c_str(), mode);
        if (!out_) break;
    }
    if (!out_) {
        temporary_.clear();
        return nullptr;
    }
    target_ = target;
    setActive(temporary_);
    return out_;
}

bool ReplacingFile::commit() {
    if (!out_) return false;
    bool ok = std::fflush(out_) == 0 && !std::ferror(out_);
    ok = std::fclose(out_) == 0 && ok;
    out_ = nullptr;
    std::error_code ec;
    if (ok) fs::rename(temporary_, target_, ec);
    if (!ok || ec) {
        discard();
        return false;
    }
    activeSet = false;
    temporary_.clear();
    return true;
}

void ReplacingFile::discard() {
    if (out_) std::fclose(out_);
    out_ = nullptr;
    if (temporary_.empty()) return;
    std::error_code ec;
    fs::remove(temporary_, ec);
    activeSet = false;
    temporary_.clear();
}
