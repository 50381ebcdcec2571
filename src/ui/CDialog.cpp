#include "ui/CDialog.h"

#include "notice/UserNotice.h"
#include "ui/CApp.h"
#include "ui/CControl.h"
#include "ui/CWnd.h"
#include "ui/Help.h"

namespace {
constexpr int IdOk = 1;
constexpr int IdCancel = 2;
constexpr int IdHelp = 9;
}  // namespace

CDialog::CDialog(int templateId, CWnd* owner)
    : templateId_(static_cast<std::uint16_t>(templateId)), previousActive_(GetActiveWindow()) {
    ownerWindow_ = owner ? owner->handle() : App.mainHandle();
    hwnd_ = CreateDialogParamA(App.instance, MAKEINTRESOURCEA(templateId_), ownerWindow_, dialogProcedure,
                               reinterpret_cast<LPARAM>(this));
    // Every form shows the program's icon, whatever its frame style.
    const LPARAM icon = ownerWindow_ ? SendMessageA(ownerWindow_, WM_GETICON, ICON_BIG, 0) : 0;
    if (hwnd_ && icon) {
        SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, icon);
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, icon);
    }
}

CDialog::~CDialog() {
    controls_.clear();  // each unbinds its items while they still exist
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        HWND dialog = hwnd_;
        hwnd_ = nullptr;
        DestroyWindow(dialog);
    }
    if (previousActive_ && IsWindow(previousActive_)) SetActiveWindow(previousActive_);
}

CDialog* CDialog::fromHandle(HWND hwnd) {
    return hwnd ? reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER)) : nullptr;
}

bool CDialog::validateAll() {
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        CControl* control = CControl::fromItem(child);
        if (control && !control->validate()) {
            SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(child), TRUE);
            return false;
        }
    }
    return true;
}

void CDialog::saveAll() {
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (CControl* control = CControl::fromItem(child)) control->save();
}

bool CDialog::command(int code, int id, HWND control) {
    defaultCommand(code, id, control);
    return false;
}

void CDialog::sizeChanged() {}

void CDialog::defaultCommand(int code, int id, HWND controlWindow) {
    CControl* control = CControl::fromItem(controlWindow);
    switch (code) {
    case 0:
        if (control) control->clicked(id);
        break;
    case 1:
        if (control) control->selectionChanged();
        break;
    case 4:
    case 6:
        if (control) control->focusChanged(true);
        return;
    case 5:
    case 7:
        if (control) control->focusChanged(false);
        return;
    default:
        return;
    }
    switch (id) {
    case IdOk:
        if (validateAll()) {
            saveAll();
            result_ = 1;
        }
        break;
    case IdCancel:
        result_ = -1;
        break;
    case IdHelp:
        showHelp(hwnd_, static_cast<int>(templateId_));
        break;
    default:
        break;
    }
}

int CDialog::runModal() {
    if (!hwnd_) return 0;
    // Only what this run disabled is enabled again afterwards.
    const bool disabledOwner = ownerWindow_ && EnableWindow(ownerWindow_, FALSE) == 0;
    ShowWindow(hwnd_, SW_SHOW);
    // The fields were filled after the platform focused the first one: a
    // text field is focused again, which selects its text, so that typing
    // replaces it.
    HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (first && (SendMessageA(first, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    MSG msg{};
    while (result_ == 0 && hwnd_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The outer loop must see the quit message too.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (hwnd_ && IsDialogMessageA(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (disabledOwner) EnableWindow(ownerWindow_, TRUE);
    return result_;
}

INT_PTR CALLBACK CDialog::dialogProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lp);
        return TRUE;
    }
    CDialog* dialog = fromHandle(hwnd);
    // No exception may unwind through the platform's code.
    try {
        switch (msg) {
        case WM_COMMAND:
            if (dialog && dialog->command(HIWORD(wp), LOWORD(wp), reinterpret_cast<HWND>(lp)))
                dialog->defaultCommand(HIWORD(wp), LOWORD(wp), reinterpret_cast<HWND>(lp));
            return FALSE;
        case WM_SIZE:
            if (dialog) dialog->sizeChanged();
            return TRUE;
        case WM_NCDESTROY:
            if (dialog) dialog->hwnd_ = nullptr;
            return FALSE;
        case WM_SETCURSOR:
            // Busy: the hourglass everywhere in the form; else each item
            // keeps its own cursor (the text beam in edits).
            if (!isBusy()) return FALSE;
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
            SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}
