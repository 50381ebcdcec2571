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
    target_ = target;
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) return out_ = std::fopen(target.c_str(), mode);
    // A write-protected file is not replaced behind its owner's back.
    if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) return nullptr;
    // A link stays a link: the file it names is the one replaced.
    fs::path path(target);
    if (fs::is_symlink(fs::symlink_status(path, ec))) path = fs::weakly_canonical(path, ec);
    for (int attempt = 0; attempt < 16 && !out_; ++attempt) {
        std::string name = ".";
        name.append(path.filename().string()).append(".harvex-").append(randomSuffix());
        const fs::path candidate = path.parent_path() / name;
        if (fs::exists(candidate, ec) || ec) continue;
        temporary_ = candidate.string();
        out_ = std::fopen(temporary_.c_str(), mode);
        if (!out_) break;
    }
    if (!out_) {
        temporary_.clear();
        return nullptr;
    }
    target_ = path.string();
    setActive(temporary_);
    return out_;
}

bool ReplacingFile::commit() {
    if (!out_) return false;
    bool ok = std::fflush(out_) == 0 && !std::ferror(out_);
    ok = std::fclose(out_) == 0 && ok;
    out_ = nullptr;
    if (temporary_.empty()) return ok;
    std::error_code ec;
    // The new file takes the old one's permissions.
    if (ok && fs::exists(target_, ec)) fs::permissions(temporary_, fs::status(target_, ec).permissions(), ec);
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
