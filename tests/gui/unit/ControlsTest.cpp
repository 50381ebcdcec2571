// Radio groups and text controls bound to the items of real dialogs made
// from the program's templates.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "ui/CControl.h"
#include "ui/CDialog.h"

using guitest::clickItem;

namespace {

class Controls : public ::testing::Test {
protected:
    void SetUp() override { guitest::prepareApp(); }
    std::vector<int> checkedIds(CDialog& d, int first, int last) {
        std::vector<int> ids;
        for (int id = first; id <= last; ++id)
            if (SendMessageA(d.item(id), BM_GETCHECK, 0, 0) == BST_CHECKED) ids.push_back(id);
        return ids;
    }
};

struct ByteGroupCase {
    const char* label;
    std::uint8_t value;
    std::uint32_t mask;
    std::vector<int> checkedOnLoad;  // of 109..112
    int click;                       // 0: none
    std::uint8_t saved;
    int button = IDOK;
};

TEST_F(Controls, ByteGroupLoadsClicksAndSavesUnderItsMask) {
    const ByteGroupCase cases[] = {
        {"index 2 of the whole byte", 2, 0xFF, {111}, 112, 3},
        {"mask 0x60 over 0x25 keeps the other bits", 0x25, 0x60, {110}, 111, 0x45},
        {"mask 0x60, index 0 clears only masked bits", 0xC5, 0x60, {111}, 109, 0x85},
        {"no click saves the loaded index", 0x41, 0x0F, {110}, 0, 0x41},
        {"an index past the group checks nothing and keeps the value", 7, 0xFF, {}, 0, 7},
        {"Cancel after a click keeps the value", 1, 0xFF, {110}, 112, 1, IDCANCEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CDialog form(IDD_EXPORT);
        ASSERT_NE(form.handle(), nullptr);
        std::uint8_t value = c.value;
        form.bind<CRadioGroupC>(109, 112, &value, c.mask);
        EXPECT_EQ(checkedIds(form, 109, 112), c.checkedOnLoad);
        if (c.click) {
            clickItem(form.handle(), c.click);
            EXPECT_EQ(checkedIds(form, 109, 112), std::vector<int>{c.click});
        }
        EXPECT_EQ(value, c.value) << "nothing is saved before OK";
        clickItem(form.handle(), c.button);
        EXPECT_EQ(form.result(), c.button == IDOK ? 1 : -1);
        EXPECT_EQ(value, c.saved);
    }
}

TEST_F(Controls, WordGroupKeepsTheBitsOutsideItsMask) {
    CDialog form(IDD_DISPLAY);
    ASSERT_NE(form.handle(), nullptr);
    std::uint16_t clock = 0xA1FF;  // mask 0x0100: index 1
    std::uint16_t order = 0;
    form.bind<CRadioGroup>(IDC_CLOCK_12, IDC_CLOCK_24, &clock, 0x0100);
    form.bind<CRadioGroup>(IDC_ORDER_MONTH, IDC_ORDER_DAY, &order, 0xFFFF);
    EXPECT_EQ(checkedIds(form, IDC_CLOCK_12, IDC_ORDER_DAY), (std::vector<int>{IDC_CLOCK_24, IDC_ORDER_MONTH}));
    clickItem(form.handle(), IDC_CLOCK_12);
    clickItem(form.handle(), IDC_ORDER_DAY);
    EXPECT_EQ(checkedIds(form, IDC_CLOCK_12, IDC_ORDER_DAY), (std::vector<int>{IDC_CLOCK_12, IDC_ORDER_DAY}))
        << "a click unchecks the others of its own group only";
    clickItem(form.handle(), IDOK);
    EXPECT_EQ(clock, 0xA0FF);
    EXPECT_EQ(order, 1);
}

TEST_F(Controls, TextControlShowsItsBufferAndSavesAtMostItsLength) {
    CDialog form(IDD_EXPORT);
    char text[10] = "12:34:56";
    form.bind<CStrCtrl>(IDC_START_TIME, text, 9);
    char shown[32] = {};
    GetDlgItemTextA(form.handle(), IDC_START_TIME, shown, sizeof shown);
    EXPECT_STREQ(shown, "12:34:56");
    SetDlgItemTextA(form.handle(), IDC_START_TIME, "0123456789ABCDEF");
    clickItem(form.handle(), IDOK);
    EXPECT_EQ(form.result(), 1);
    EXPECT_STREQ(text, "012345678") << "9 characters and the terminator";
}

}  // namespace
