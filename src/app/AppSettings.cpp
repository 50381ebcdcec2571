#include "app/AppSettings.h"

AppSettingsRecord AppSettings;
