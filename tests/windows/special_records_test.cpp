// What the window system gets for a special window's record whose owner
// installed no answers: the text editor's answers are taken away for the
// test, records of the contents-dialog and split types have no owner
// answering, and other types lie outside the table. Every question gets its
// "nothing" answer and a close goes ahead.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "core/special_windows.h"
#include "core/window_table.h"

TEST(SpecialRecords, RecordsWithoutAnswersGetTheDefaults)
{
    const SpecialRecordAnswers editor = SpecialRecordAnswersSet(kRecordEditor, {});
    const int32_t types[] = {kRecordEditor, kRecordContentsDialog, kRecordSplit, 0, -1, kRecordSplit + 1, INT32_MAX};
    for (int32_t type : types) {
        SCOPED_TRACE(type);
        WindowRecord record{type};
        EXPECT_EQ(SpecialRecordMenu(&record), nullptr);
        for (int which = 0; which <= 2; ++which)
            EXPECT_EQ(SpecialRecordAccelerators(&record, which), nullptr);
        EXPECT_EQ(SpecialRecordStatusBarField(&record), nullptr);
        EXPECT_EQ(SpecialRecordFocusControl(&record), nullptr);
        EXPECT_EQ(SpecialRecordModelessDialog(&record), nullptr);
        EXPECT_EQ(SpecialRecordCloseQuery(nullptr, &record, 1), 1);
        SpecialRecordRelease(nullptr, &record);
        EXPECT_EQ(record.type, type);
    }
    EXPECT_EQ(SpecialRecordMenu(nullptr), nullptr);
    EXPECT_EQ(SpecialRecordCloseQuery(nullptr, nullptr, 1), 1);
    SpecialRecordRelease(nullptr, nullptr);
    SpecialRecordAnswersSet(kRecordEditor, editor);
}

TEST(SpecialRecords, AnswersForATypeOutsideTheTableAreIgnored)
{
    const SpecialRecordAnswers refuse{.closeQuery = [](HWND, WindowRecord*, int) { return 0; }};
    EXPECT_EQ(SpecialRecordAnswersSet(kRecordSplit + 1, refuse).closeQuery, nullptr);
    EXPECT_EQ(SpecialRecordAnswersSet(-1, refuse).closeQuery, nullptr);
    WindowRecord beyond{kRecordSplit + 1}, below{-1};
    EXPECT_EQ(SpecialRecordCloseQuery(nullptr, &beyond, 1), 1);
    EXPECT_EQ(SpecialRecordCloseQuery(nullptr, &below, 1), 1);
}
