#include "ui/CControl.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "ui/CDialog.h"

CControl::CControl(CDialog& dialog, int id) : dialog_(&dialog) { bindItem(dialog.item(id)); }

CControl::~CControl() { unbindItem(hwnd_); }

CControl* CControl::fromItem(HWND item) {
    return item ? reinterpret_cast<CControl*>(GetWindowLongPtrA(item, GWLP_USERDATA)) : nullptr;
}

void CControl::bindItem(HWND item) {
    if (!item) return;
    if (!hwnd_) hwnd_ = item;
    SetWindowLongPtrA(item, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CControl::unbindItem(HWND item) {
    if (item && IsWindow(item)) SetWindowLongPtrA(item, GWLP_USERDATA, 0);
}

void CControl::load() {}
void CControl::save() {}
bool CControl::validate() { return true; }
void CControl::focusChanged(bool) {}
void CControl::clicked(int) {}
void CControl::selectionChanged() {}

namespace {
constexpr int LoadLimit = 256;
}

CStrCtrl::CStrCtrl(CDialog& dialog, int id, char* buffer, int maxLength)
    : CControl(dialog, id), buffer_(buffer), size_(maxLength + 1) {
    CStrCtrl::load();
}

void CStrCtrl::load() {
    if (!hwnd_) return;
    const std::size_t limit = static_cast<std::size_t>(std::min(size_, LoadLimit));
    const std::string text(buffer_, strnlen(buffer_, limit));
    SetWindowTextA(hwnd_, text.c_str());
}

void CStrCtrl::save() { readText(buffer_, size_); }

void CStrCtrl::readText(char* out, int size) const {
    if (size <= 0) return;
    out[0] = '\0';
    if (hwnd_) GetWindowTextA(hwnd_, out, size);
}

CRadioGroupBase::CRadioGroupBase(CDialog& dialog, int firstId, int lastId, std::uint32_t mask)
    : CControl(dialog, firstId), firstId_(firstId), lastId_(lastId), mask_(mask),
      shift_(mask ? std::countr_zero(mask) : 0) {
    if (!hwnd_) return;
    for (HWND item = GetWindow(hwnd_, GW_HWNDNEXT); item; item = GetWindow(item, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(item);
        if (id >= firstId_ && id <= lastId_) bindItem(item);
    }
}

CRadioGroupBase::~CRadioGroupBase() {
    for (HWND item = hwnd_; item; item = GetWindow(item, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(item);
        if (id >= firstId_ && id <= lastId_ && fromItem(item) == this) unbindItem(item);
    }
}

void CRadioGroupBase::clicked(int id) {
    if (id >= firstId_ && id <= lastId_) check(id - firstId_);
}

int CRadioGroupBase::checkedIndex() const {
    for (HWND item = hwnd_; item; item = GetWindow(item, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(item);
        if (id >= firstId_ && id <= lastId_ && SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED)
            return id - firstId_;
    }
    return -1;
}

// An index outside the group leaves every button unchecked.
void CRadioGroupBase::check(int index) const {
    for (HWND item = hwnd_; item; item = GetWindow(item, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(item);
        if (id >= firstId_ && id <= lastId_)
            SendMessageA(item, BM_SETCHECK, id - firstId_ == index ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

CRadioGroup::CRadioGroup(CDialog& dialog, int firstId, int lastId, std::uint16_t* value, std::uint32_t mask)
    : CRadioGroupBase(dialog, firstId, lastId, mask), value_(value) {
    CRadioGroup::load();
}

void CRadioGroup::load() { check(static_cast<int>(indexOf(*value_))); }

// With no button checked there is no index to store: the value stays.
void CRadioGroup::save() {
    const int index = checkedIndex();
    if (index >= 0) *value_ = static_cast<std::uint16_t>(merged(*value_, static_cast<std::uint32_t>(index)));
}

CRadioGroupC::CRadioGroupC(CDialog& dialog, int firstId, int lastId, std::uint8_t* value, std::uint32_t mask)
    : CRadioGroupBase(dialog, firstId, lastId, mask), value_(value) {
    CRadioGroupC::load();
}

void CRadioGroupC::load() { check(static_cast<int>(indexOf(*value_))); }

void CRadioGroupC::save() {
    const int index = checkedIndex();
    if (index >= 0) *value_ = static_cast<std::uint8_t>(merged(*value_, static_cast<std::uint32_t>(index)));
}
