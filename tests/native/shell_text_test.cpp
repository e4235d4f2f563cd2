// The texts the program shows and the centring arithmetic of its About box.
#include <gtest/gtest.h>

#include "app/center.h"
#include "app/outcome_text.h"
#include "report/drive_line.h"

namespace {

std::string Message(UpdateResult result, const char* backup)
{
    UpdateOutcome outcome = { result, const_cast<char*>(backup) };
    size_t needed = FormatOutcomeMessage(&outcome, nullptr, 0);
    std::string text(needed, '#');
    EXPECT_EQ(FormatOutcomeMessage(&outcome, &text[0], needed), needed);
    EXPECT_EQ(text.back(), '\0');
    text.pop_back();
    // One byte short of the need writes nothing.
    std::string tooSmall(needed - 1, '#');
    FormatOutcomeMessage(&outcome, &tooSmall[0], tooSmall.size());
    EXPECT_EQ(tooSmall, std::string(needed - 1, '#'));
    return text;
}

TEST(OutcomeText, TheThreeTexts)
{
    EXPECT_EQ(Message(UPDATE_CANNOT_UPDATE, nullptr), "Can not updated System.ini file.");
    EXPECT_EQ(Message(UPDATE_PRESENT, nullptr), "The System.ini already has RemovableIDE = TRUE");
    EXPECT_EQ(Message(UPDATE_UPDATED, "C:\\WINDOWS\\system.000"),
        "Updated System.ini. The original is backed up as C:\\WINDOWS\\system.000.");
    std::string longPath = "C:\\" + std::string(2000, 'd') + "\\system.024";
    EXPECT_EQ(Message(UPDATE_UPDATED, longPath.c_str()), "Updated System.ini. The original is backed up as " + longPath + ".");
}

TEST(DriveLine, TypeWordsAndLetters)
{
    struct Case {
        int index;
        unsigned type;
        const char* line;
    } cases[] = {
        { 0, 2, "The drive A: is removeable. " },
        { 2, 3, "The drive C: is fixed.      " },
        { 4, 4, "The drive E: is remote.     " },
        { 3, 5, "The drive D: is CD-ROM.     " },
        { 5, 6, "The drive F: is RAM disk.   " },
        { 6, 0, "The drive G: is   " },
        { 7, 1, "The drive H: is   " },
        { 25, 7, "The drive Z: is   " },
        { 25, 0xFFFFFFFFu, "The drive Z: is   " },
    };
    for (const Case& c : cases) {
        char line[kDriveLineLength];
        size_t length = FormatDriveLine(c.index, c.type, line);
        EXPECT_EQ(std::string(line, length), c.line);
    }
}

TEST(CenteredPosition, CentresAndKeepsOnScreen)
{
    struct Case {
        const char* name;
        int ownerStart, ownerExtent, extent, screen, expected;
    } cases[] = {
        { "plain centre", 100, 400, 200, 640, 200 },
        { "past the far edge", 500, 300, 200, 640, 440 },
        { "negative becomes 0", -100, 200, 300, 640, 0 },
        { "owner partly off the near edge", -10, 800, 300, 640, 240 },
        { "wider than the screen", 300, 300, 700, 640, -60 },
        { "odd difference truncates toward zero", 10, 100, 103, 640, 9 },
        { "odd difference above", 10, 103, 100, 640, 11 },
        { "exactly at the far edge", 440, 200, 200, 640, 440 },
    };
    for (const Case& c : cases) {
        // The same arithmetic serves the horizontal and the vertical axis.
        EXPECT_EQ(CenteredPosition(c.ownerStart, c.ownerExtent, c.extent, c.screen), c.expected) << c.name;
    }
}

} // namespace
