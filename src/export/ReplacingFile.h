#pragma once
// An output written beside its target under a temporary name and renamed
// over the target only once it is whole: until then the target is as it
// was, and an export that fails or is stopped leaves no piece of itself.
#include <atomic>
#include <cstdio>
#include <string>

class ReplacingFile {
public:
    ReplacingFile() = default;
    // Removes the temporary file unless it was committed.
    ~ReplacingFile() { discard(); }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates ".NAME.harvex-XXXXXX" in the directory of the target (of the
    // file a link names), opened with mode; null when it cannot be created
    // or the target is write-protected.
    // A target that exists and is not a regular file (a device, a pipe) is
    // written straight through: there is nothing to rename over.
    std::FILE* open(const std::string& target, const char* mode);
    std::FILE* stream() const { return out_; }
    const std::string& target() const { return target_; }
    // Flushes and closes the temporary file and renames it over the
    // target; false, with the temporary file gone, when any step fails.
    bool commit();
    void discard();

    // The temporary file being written now, or null: read by a signal
    // handler, so kept in a fixed buffer that takes no lock.
    static const char* active();

private:
    std::FILE* out_ = nullptr;
    std::string target_;
    std::string temporary_;  // empty when written straight through
};

// Set when the user asks a long export to stop; exports look at it between
// batches of rows and give up, discarding what they were writing.
inline std::atomic<bool> StopRequested{false};
