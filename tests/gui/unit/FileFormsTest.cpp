// Working through a multiple selection of the "Read From" form.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "forms/FileForms.h"

namespace {

// Answers like the platform's dialog: the strings, each with its NUL, and
// an empty one at the end. Counts how often it was asked.
struct FakeForm {
    std::vector<std::string> answer;
    int asked = 0;
    int operator()(unsigned, FilterList, int, char* buffer) {
        ++asked;
        if (answer.empty()) return 0;
        std::size_t at = 0;
        for (const auto& s : answer) {
            std::memcpy(buffer + at, s.c_str(), s.size() + 1);
            at += s.size() + 1;
        }
        buffer[at] = '\0';
        return 1;
    }
};

std::string nextPath(FakeForm& form, PendingNames* pending) {
    auto file = openRecorderFile(ModeMultiple, recorderFileFilters, 2, pending, std::ref(form));
    return file ? file->stream->name() : "<none>";
}

TEST(OpenRecorderFile, WalksASelectionWithoutAskingAgain) {
    FakeForm form{{"D:\\LOG", "A.DC2", "B.DC3", "C.ALM"}};
    EXPECT_EQ(nextPath(form, nullptr), "D:\\LOG\\A.DC2") << "without a pending list only the first file opens";
    PendingNames pending;
    EXPECT_EQ(nextPath(form, &pending), "D:\\LOG\\A.DC2");
    EXPECT_EQ(pending, (PendingNames{"D:\\LOG", "B.DC3", "C.ALM"}));
    EXPECT_EQ(nextPath(form, &pending), "D:\\LOG\\B.DC3");
    EXPECT_EQ(pending, (PendingNames{"D:\\LOG", "C.ALM"}));
    EXPECT_EQ(nextPath(form, &pending), "D:\\LOG\\C.ALM");
    EXPECT_TRUE(pending.empty());
    EXPECT_EQ(form.asked, 2);
    nextPath(form, &pending);
    EXPECT_EQ(form.asked, 3) << "with nothing pending the form is shown again";
}

TEST(OpenRecorderFile, JoinsDirectoryAndNameWithOneBackslash) {
    const struct { std::vector<std::string> answer; std::string path; } cases[] = {
        {{"C:\\", "A.DC1", "B.DC1"}, "C:\\A.DC1"},
        {{"Z:\\tmp\\run\\", "A.DC1", "B.DC1"}, "Z:\\tmp\\run\\A.DC1"},
        {{"Z:\\tmp\\run", "A.DC1", "B.DC1"}, "Z:\\tmp\\run\\A.DC1"},
        {{"Z:\\tmp\\run", "A.DC1"}, "Z:\\tmp\\run\\A.DC1"},
        {{"Z:\\tmp\\run\\ONE.DC1"}, "Z:\\tmp\\run\\ONE.DC1"},
        {{}, "<none>"},  // Cancel: nothing, and nothing pending
    };
    for (const auto& c : cases) {
        FakeForm form{c.answer};
        PendingNames pending;
        EXPECT_EQ(nextPath(form, &pending), c.path);
        const PendingNames left =
            c.answer.size() < 3 ? PendingNames{} : PendingNames{c.answer[0], c.answer[2]};
        EXPECT_EQ(pending, left) << c.path;
    }
}

TEST(NameList, StopsAtTheEmptyStringAndAtTheBufferEnd) {
    const char full[] = "D:\\LOG\0A.DC1\0\0junk";
    EXPECT_EQ(splitNameList(full, sizeof full), (std::vector<std::string>{"D:\\LOG", "A.DC1"}));
    const char cut[4] = {'A', 'B', 'C', 'D'};  // no terminator within the buffer
    EXPECT_EQ(splitNameList(cut, sizeof cut), (std::vector<std::string>{"ABCD"}));
}

TEST(FileFormSetup, FilterStringAndStartingName) {
    EXPECT_EQ(filterString(allFilesFilter), std::string("All files (*.*)\0*.*\0\0", 21));
    EXPECT_EQ(filterString(nullptr), filterString(allFilesFilter)) << "no list: the single default filter";
    EXPECT_EQ(filterString(recorderFileFilters).size(),
              std::string("All files (*.*)*.*Pen (*.DT*)*.DT*Alarm/Event Files (*.ALM)*.ALM").size() + 7);
    EXPECT_EQ(initialFileName(recorderFileFilters, 2, ""), "*.DT*");
    EXPECT_EQ(initialFileName(allFilesFilter, 1, nullptr), "*.*");
    EXPECT_EQ(initialFileName(nullptr, 1, nullptr), "*.*");
    EXPECT_EQ(initialFileName(recorderFileFilters, 9, nullptr), "*.*");
    EXPECT_EQ(initialFileName(recorderFileFilters, 3, "OUT.CSV"), "OUT.CSV");
}

}  // namespace
