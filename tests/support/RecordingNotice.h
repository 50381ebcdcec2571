#pragma once
// A UserNotice that records every box and busy change instead of showing
// them. Constructing one installs it; destroying it puts back the notice
// that was installed before, so declare it before anything whose
// destructor may still show a message.
#include <ostream>
#include <string>
#include <vector>

#include "notice/UserNotice.h"

namespace testsupport {

struct ShownMessage {
    std::string caption;
    std::string text;
    unsigned type = BoxType::Ok;

    // Caption and text only: the few tests that care check the type itself.
    bool operator==(const ShownMessage& o) const { return caption == o.caption && text == o.text; }
};

inline std::ostream& operator<<(std::ostream& os, const ShownMessage& m) {
    return os << '{' << '"' << m.caption << "\", \"" << m.text << "\"}";
}

// An error box as showError makes it.
inline ShownMessage errorBox(const std::string& text) { return ShownMessage{ErrorCaption, text, BoxType::Ok}; }

class RecordingNotice : public UserNotice {
public:
    RecordingNotice() : previous_(setUserNotice(this)) {}
    RecordingNotice(const RecordingNotice&) = delete;
    RecordingNotice& operator=(const RecordingNotice&) = delete;
    ~RecordingNotice() override { setUserNotice(previous_); }

    int messageBox(const std::string& text, const std::string& caption, unsigned type) override {
        messages.push_back(ShownMessage{caption, text, type});
        return answer;
    }
    void setBusy(bool busy) override { busyChanges.push_back(busy); }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : messages) out.push_back(m.text);
        return out;
    }
    void clear() {
        messages.clear();
        busyChanges.clear();
    }

    std::vector<ShownMessage> messages;
    std::vector<bool> busyChanges;  // true: hourglass on
    int answer = BoxAnswer::Ok;     // what every box answers

private:
    UserNotice* previous_;
};

}  // namespace testsupport
