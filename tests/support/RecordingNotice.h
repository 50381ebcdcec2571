#pragma once
// A UserNotice that records every box and busy change instead of showing
// them. Constructing one installs it; destroying it puts back the notice
// that was installed before, so declare it before anything whose
// destructor may still show a message.
#include <string>
#include <vector>

#include "notice/UserNotice.h"

namespace testsupport {

class RecordingNotice : public UserNotice {
public:
    RecordingNotice() : previous_(setUserNotice(this)) {}
    RecordingNotice(const RecordingNotice&) = delete;
    RecordingNotice& operator=(const RecordingNotice&) = delete;
    ~RecordingNotice() override { setUserNotice(previous_); }

    int messageBox(const std::string& text, const std::string&, unsigned) override {
        messages.push_back(text);
        return BoxAnswer::Ok;
    }
    void setBusy(bool busy) override { busyChanges.push_back(busy); }

    void clear() {
        messages.clear();
        busyChanges.clear();
    }

    std::vector<std::string> messages;  // the texts; every box is answered OK
    std::vector<bool> busyChanges;      // true: hourglass on

private:
    UserNotice* previous_;
};

}  // namespace testsupport
