#pragma once
// The process-wide settings as they were when this was made, put back when
// it goes, however the test ends: the rest of the suite shares them.
#include "app/AppSettings.h"

namespace testsupport {

struct KeptSettings {
    const AppSettingsRecord saved = AppSettings;
    ~KeptSettings() { AppSettings = saved; }
};

}  // namespace testsupport
