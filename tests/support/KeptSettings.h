#pragma once
// The process-wide settings as they were when this was made, put back when
// it goes, however the test ends: the rest of the suite shares them.
#include "app/AppSettings.h"

namespace testsupport {

class KeptSettings {
public:
    KeptSettings() : saved_(AppSettings) {}
    KeptSettings(const KeptSettings&) = delete;
    KeptSettings& operator=(const KeptSettings&) = delete;
    ~KeptSettings() { AppSettings = saved_; }

private:
    AppSettingsRecord saved_;
};

}  // namespace testsupport
