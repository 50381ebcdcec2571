#pragma once
// Message boxes and the busy state, as the core sees them.
//
// The core never talks to a platform directly: it calls these functions,
// which forward to the installed UserNotice. The Windows program installs
// one that shows real message boxes and the hourglass, `harvex` one that
// prints to stderr, and tests one that records what was shown.
#include <string>

// Box types and answers use the platform's values so the Win32 seam can
// pass them straight through.
namespace BoxType {
inline constexpr unsigned Ok = 0x0000;            // MB_OK
inline constexpr unsigned YesNo = 0x0004;         // MB_YESNO
inline constexpr unsigned IconQuestion = 0x0020;  // MB_ICONQUESTION
inline constexpr unsigned IconWarning = 0x0030;   // MB_ICONEXCLAMATION
}  // namespace BoxType

namespace BoxAnswer {
inline constexpr int None = 0;
inline constexpr int Ok = 1;   // IDOK
inline constexpr int Yes = 6;  // IDYES
inline constexpr int No = 7;   // IDNO
}  // namespace BoxAnswer

class UserNotice {
public:
    virtual ~UserNotice() = default;
    // Shows a box and returns the platform's answer (BoxAnswer), 0 when it
    // could not be shown.
    virtual int messageBox(const std::string& text, const std::string& caption, unsigned type) = 0;
    // Busy on: hourglass; busy off: arrow.
    virtual void setBusy(bool busy) = 0;
};

// Installs the seam; returns the previous one. With none installed, boxes
// answer 0 and busy changes only the flag.
UserNotice* setUserNotice(UserNotice* notice);
UserNotice* userNotice();

inline constexpr const char* ErrorCaption = "  Error  ";

// 1 when the answer is OK or Yes, else 0.
int showMessage(const std::string& text, const std::string& caption, unsigned type);
int showError(const std::string& text);
// showError, then 0: a failing operation reports and returns in one step.
int reportError(const std::string& text);

void beginBusy();
void endBusy();
bool isBusy();

// The file that messages raised now concern. Readers name it while they
// load, so a console can say which file a message is about even when
// several files are read in turn.
class NoticeSource {
public:
    explicit NoticeSource(const char* name) : previous_(current_) { current_ = name; }
    ~NoticeSource() { current_ = previous_; }
    NoticeSource(const NoticeSource&) = delete;
    NoticeSource& operator=(const NoticeSource&) = delete;
    static const char* current() { return current_; }

private:
    static inline const char* current_ = nullptr;
    const char* previous_;
};
