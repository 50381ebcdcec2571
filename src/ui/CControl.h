#pragma once
// Control objects bound to dialog items through the item's user-data word:
// they load a variable into the item when bound, and validate and save it
// when the dialog is accepted.
#include <windows.h>

#include <cstdint>

class CDialog;

class CControl {
public:
    CControl(CDialog& dialog, int id);
    CControl(const CControl&) = delete;
    CControl& operator=(const CControl&) = delete;

    // Slots 0 to 6.
    virtual ~CControl();
    virtual void load();
    virtual void save();
    virtual bool validate();
    virtual void focusChanged(bool gained);
    virtual void clicked(int id);
    virtual void selectionChanged();

    HWND handle() const { return hwnd_; }
    CDialog& dialog() const { return *dialog_; }

    // The control bound to a dialog item, or null.
    static CControl* fromItem(HWND item);

protected:
    void bindItem(HWND item);
    static void unbindItem(HWND item);

    HWND hwnd_ = nullptr;
    CDialog* dialog_;
};

// A text item and a fixed text buffer of the form.
class CStrCtrl : public CControl {
public:
    // `buffer` holds maxLength characters and a terminator.
    CStrCtrl(CDialog& dialog, int id, char* buffer, int maxLength);
    void load() override;
    void save() override;

protected:
    // The item's text, at most the buffer's length, into `out` (size bytes).
    void readText(char* out, int size) const;

    char* buffer_;
    int size_;  // with the terminator
};

// Radio buttons with consecutive ids standing for the bits of a value
// under a mask: the index of the checked button, shifted to the mask.
class CRadioGroupBase : public CControl {
public:
    CRadioGroupBase(CDialog& dialog, int firstId, int lastId, std::uint32_t mask);
    ~CRadioGroupBase() override;
    void clicked(int id) override;

    // The index of the first checked button in window order, or -1.
    int checkedIndex() const;

protected:
    void check(int index) const;
    std::uint32_t indexOf(std::uint32_t value) const { return (value & mask_) >> shift_; }
    std::uint32_t merged(std::uint32_t value, std::uint32_t index) const {
        return (value & ~mask_) | ((index << shift_) & mask_);
    }

    int firstId_;
    int lastId_;
    std::uint32_t mask_;
    int shift_ = 0;
};

// Over a 16-bit value.
class CRadioGroup : public CRadioGroupBase {
public:
    CRadioGroup(CDialog& dialog, int firstId, int lastId, std::uint16_t* value, std::uint32_t mask);
    void load() override;
    void save() override;

private:
    std::uint16_t* value_;
};

// Over an 8-bit value.
class CRadioGroupC : public CRadioGroupBase {
public:
    CRadioGroupC(CDialog& dialog, int firstId, int lastId, std::uint8_t* value, std::uint32_t mask);
    void load() override;
    void save() override;

private:
    std::uint8_t* value_;
};
