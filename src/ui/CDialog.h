#pragma once
// Forms made from dialog templates: the dialog object owns its window and
// the control objects bound to its items, and runs it modally.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CControl;
class CWnd;

class CDialog {
public:
    // Creates the dialog from the template in the program's resources,
    // owned by `owner` (the main frame when null). The templates are
    // visible, so the dialog shows at once.
    explicit CDialog(int templateId, CWnd* owner = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Slots 0 to 3.
    virtual ~CDialog();
    // Asks every bound control, in window order, to validate; focuses the
    // first that fails and returns false.
    virtual bool validateAll();
    // True to go on to the default command handling.
    virtual bool command(int code, int id, HWND control);
    virtual void sizeChanged();

    // Runs the dialog until OK (all valid, all saved: result 1) or Cancel
    // (-1). Returns the result; 0 when there was no dialog window.
    int runModal();

    // Makes a control of type T bound to this dialog; the dialog owns it.
    template <class T, class... Args>
    T& bind(Args&&... args) {
        auto control = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& ref = *control;
        controls_.push_back(std::move(control));
        return ref;
    }

    HWND handle() const { return hwnd_; }
    HWND item(int id) const { return hwnd_ ? GetDlgItem(hwnd_, id) : nullptr; }
    int templateId() const { return templateId_; }
    int result() const { return result_; }

    static INT_PTR CALLBACK dialogProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static CDialog* fromHandle(HWND hwnd);

protected:
    // The default command handling: clicks and notifications to the
    // control, then OK, Cancel and Help.
    void defaultCommand(int code, int id, HWND control);
    // Every control saves, in window order.
    void saveAll();

private:
    std::uint32_t templateId_;
    HWND previousActive_ = nullptr;
    HWND ownerWindow_ = nullptr;
    std::uint32_t flags_ = 0x1000;
    int result_ = 0;
    HWND hwnd_ = nullptr;
    std::vector<std::unique_ptr<CControl>> controls_;
};
