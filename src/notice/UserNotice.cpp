#include "notice/UserNotice.h"

namespace {
UserNotice* installed = nullptr;
bool busyFlag = false;
}  // namespace

UserNotice* setUserNotice(UserNotice* notice) {
    UserNotice* old = installed;
    installed = notice;
    return old;
}

UserNotice* userNotice() { return installed; }

int showMessage(const std::string& text, const std::string& caption, unsigned type) {
    int answer = installed ? installed->messageBox(text, caption, type) : BoxAnswer::None;
    return (answer == BoxAnswer::Ok || answer == BoxAnswer::Yes) ? 1 : 0;
}

int showError(const std::string& text) { return showMessage(text, ErrorCaption, BoxType::Ok); }

int reportError(const std::string& text) {
    showError(text);
    return 0;
}

// Nothing counts nested calls: the first endBusy ends the busy state.
void beginBusy() {
    busyFlag = true;
    if (installed) installed->setBusy(true);
}

void endBusy() {
    busyFlag = false;
    if (installed) installed->setBusy(false);
}

bool isBusy() { return busyFlag; }
