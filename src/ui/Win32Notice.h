#pragma once
// Message boxes owned by the main frame, each naming the file it concerns,
// and the hourglass, for the core's UserNotice seam.
#include "notice/UserNotice.h"

class Win32Notice final : public UserNotice {
public:
    int messageBox(const std::string& text, const std::string& caption, unsigned type) override;
    void setBusy(bool busy) override;
};
