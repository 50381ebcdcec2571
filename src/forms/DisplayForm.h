#pragma once
// The "DISPLAY" form: 12- or 24-hour time stamps and the order of day and
// month, kept in AppSettings.displayFlags.

// 1 when the user accepted the form (displayFlags replaced), else 0.
int runDisplayForm();
