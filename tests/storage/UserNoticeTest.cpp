#include <gtest/gtest.h>

#include "notice/UserNotice.h"
#include "support/RecordingNotice.h"

using testsupport::RecordingNotice;
using testsupport::ShownMessage;

TEST(UserNotice, OnlyOkAndYesCountAsAgreement) {
    const struct { unsigned type; int answer; int result; } cases[] = {
        {BoxType::YesNo | BoxType::IconQuestion, BoxAnswer::Yes, 1},
        {BoxType::YesNo | BoxType::IconQuestion, BoxAnswer::No, 0},
        {BoxType::Ok, BoxAnswer::Ok, 1},
        {BoxType::Ok, BoxAnswer::None, 0},  // the box could not be shown
    };
    for (const auto& c : cases) {
        RecordingNotice notice;
        notice.answer = c.answer;
        EXPECT_EQ(showMessage("Overwrite?", "Export", c.type), c.result) << "answer " << c.answer;
        ASSERT_EQ(notice.messages, (std::vector<ShownMessage>{{"Export", "Overwrite?"}}));
        EXPECT_EQ(notice.messages[0].type, c.type);
    }
    UserNotice* previous = setUserNotice(nullptr);
    EXPECT_EQ(showMessage("Overwrite?", "Export", BoxType::YesNo), 0);
    setUserNotice(previous);

    // An error box fails whatever the answer.
    RecordingNotice notice;
    EXPECT_EQ(reportError("Write Error"), 0);
    ASSERT_EQ(notice.messages, (std::vector<ShownMessage>{{"  Error  ", "Write Error"}}));
    EXPECT_EQ(notice.messages[0].type, BoxType::Ok);
}

TEST(UserNotice, OneEndBusyEndsNestedBusy) {
    RecordingNotice notice;
    beginBusy();
    beginBusy();
    EXPECT_TRUE(isBusy());
    endBusy();
    EXPECT_FALSE(isBusy());
    EXPECT_EQ(notice.busyChanges, (std::vector<bool>{true, true, false}));
}
