#include "forms/DisplayForm.h"

#include <windows.h>

#include <cstdint>

#include "ResourceIds.h"
#include "app/AppSettings.h"
#include "ui/CApp.h"
#include "ui/CControl.h"
#include "ui/CDialog.h"

int runDisplayForm() {
    std::uint16_t clock = (AppSettings.displayFlags & DisplayTime24) ? 1 : 0;
    std::uint16_t order = (AppSettings.displayFlags & DisplayDayFirst) ? 1 : 0;
    bool accepted;
    {
        CDialog form(IDD_DISPLAY);
        form.bind<CRadioGroup>(IDC_CLOCK_12, IDC_CLOCK_24, &clock, 0xFFFF);
        form.bind<CRadioGroup>(IDC_ORDER_MONTH, IDC_ORDER_DAY, &order, 0xFFFF);
        accepted = form.runModal() > 0;
    }
    if (!accepted) return 0;
    // Only the two bits survive an accepted form.
    AppSettings.displayFlags = static_cast<std::uint8_t>((clock ? DisplayTime24 : 0) | (order ? DisplayDayFirst : 0));
    if (HWND main = App.mainHandle())
        RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return 1;
}
