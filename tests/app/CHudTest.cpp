#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssertCounter.h"
#include "CFont.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameTimers.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CSpriteInstance.h"
#include "CTouchButtonLayout.h"
#include "CTouchButtonManager.h"
#include "JFont.h"

namespace {

using namespace GameKey;

constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr int32_t kFontH = 10;
constexpr int32_t kCharW = 4;

// Every character 4 pixels wide, lines 10 high.
class BlockFont : public CFont {
public:
    BlockFont() : CFont(0x424C4B46) {}
    int32_t GetHeight() const override { return kFontH; }
    int32_t GetAscent() const override { return 8; }
    int32_t GetStringWidth(const WChar* text, int32_t length, int32_t, int32_t*) const override {
        int32_t n = 0;
        while (length < 0 ? text[n] != 0 : n < length) ++n;
        return n * kCharW;
    }
    int32_t GetCharWidth(WChar) const override { return kCharW; }
    void DrawString(const WChar*, int32_t, int32_t, int32_t, int32_t, int32_t) const override {}
};

JVector<JString> Labels(int32_t count) {
    JVector<JString> labels;
    for (int32_t i = 0; i < count; ++i) labels.addElement(JString("item") + i);
    return labels;
}

class HudTest : public ::testing::Test {
protected:
    HudTest() : touch(input), font(&blockFont) {
        hud.SetScreenSize(kScreenW, kScreenH);
        hud.font = &font;
        CHud::Links links;
        links.input = &input;
        links.touchButtons = &touch;
        links.timers = &timers;
        links.progress = &progress;
        links.world = &world;
        links.playControlsShown = &playControlsShown;
        hud.Attach(links);
    }

    // One game tick as the game runs it: touch, latch, then the HUD.
    void Tick(int32_t ms = 60) {
        touch.Update(ms);
        input.LatchFrame();
        hud.Update(ms);
    }
    void Key(int32_t code, bool down) { input.OnKey(code, down); }
    void PressKey(int32_t code) {
        Key(code, true);
        Tick();
        Key(code, false);
    }
    // A box of `rows` plain rows in the middle of the screen.
    void MenuOf(int32_t entries, int32_t rows) {
        hud.ShowPopup(20, 100, 200, rows * kFontH, 0);
        hud.ShowMenu(Labels(entries), 0xFFFFFFFF, JString(), JString());
    }

    AssertCounter asserts;
    CGameInput input;
    CTouchButtonManager touch;
    CGameTimers timers;
    CGameProgress progress;
    CGameWorld world;
    uint8_t playControlsShown = 0;
    BlockFont blockFont;
    JFont font;
    CHud hud;
};

TEST_F(HudTest, SelectionWrapsAroundBothEnds) {
    MenuOf(5, 5);
    hud.Select(-1);
    EXPECT_EQ(hud.selected, 4);
    hud.Select(5);
    EXPECT_EQ(hud.selected, 0);
    hud.Select(-6);
    EXPECT_EQ(hud.selected, 4);
    PressKey(EngineKey::kUp);
    EXPECT_EQ(hud.selected, 3);
    PressKey(EngineKey::kDown);
    PressKey(EngineKey::kDown);
    EXPECT_EQ(hud.selected, 0);
}

TEST_F(HudTest, EmptyMenuSelectsNothing) {
    hud.ShowMenu(Labels(3), 0, JString(), JString());
    EXPECT_EQ(hud.lineCount, 0);
    hud.Select(1);
    PressKey(EngineKey::kDown);
    EXPECT_EQ(hud.selected, 0);
}

TEST_F(HudTest, MenuKeepsTheEnabledLabelsOfTheFirstThirtyTwo) {
    hud.ShowMenu(Labels(40), 0x80000005, JString(), JString());
    ASSERT_EQ(hud.lineCount, 3);
    const int32_t indexes[] = {0, 2, 31};
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(hud.itemIndexes.elementAt(i), indexes[i]);
        EXPECT_TRUE(hud.lines.elementAt(i).equals(JString("item") + indexes[i]));
    }
}

TEST_F(HudTest, LongListScrollsTheSelectionIntoView) {
    MenuOf(6, 3);
    EXPECT_EQ(hud.visibleLines, 3);
    EXPECT_EQ(hud.textHeight, 60);
    struct Step {
        int32_t select;
        int32_t scroll;
    };
    const Step steps[] = {{1, 0}, {2, 0}, {3, 10}, {5, 30}, {4, 30}, {2, 20}, {0, 0}, {-1, 30}, {6, 0}};
    for (const Step& s : steps) {
        hud.Select(s.select);
        EXPECT_EQ(hud.scroll, s.scroll) << "select " << s.select;
    }
}

// The selection moves at the press, after 500 ms and then every 150 ms of
// holding, counted in 60 ms game steps.
TEST_F(HudTest, HeldDirectionRepeats) {
    MenuOf(50, 5);
    Key(EngineKey::kDown, true);
    std::vector<int32_t> movedAt;
    int32_t last = hud.selected;
    for (int32_t frame = 0; frame < 20; ++frame) {
        Tick();
        if (hud.selected != last) movedAt.push_back(frame);
        last = hud.selected;
    }
    std::vector<int32_t> expected;
    int32_t timer = 0;
    for (int32_t frame = 0; frame < 20; ++frame) {
        if (frame == 0) {
            timer = 500;
            expected.push_back(frame);
            continue;
        }
        timer -= 60;
        if (timer <= 0) {
            expected.push_back(frame);
            timer = 150;
        }
    }
    EXPECT_EQ(movedAt, expected);
    EXPECT_EQ(movedAt[1], 9);
    Key(EngineKey::kDown, false);
    Tick();
    Tick();
    EXPECT_EQ(hud.selected, last);
}

TEST_F(HudTest, PopupPlacementPerAxis) {
    struct Case {
        int32_t x, y, w, h;
        uint32_t flags;
        int32_t boxX, boxY, boxW, boxH;
    };
    const Case cases[] = {
        {120, 100, 80, 40, 0x10, 80, 100, 80, 40},
        {120, 100, 80, 40, 0x14, 80, 100, 80, 40},
        {120, 100, 80, 40, 0x20, 120, 80, 80, 40},
        {200, 300, 50, 20, 0x0A, 150, 280, 50, 20},
        {120, 100, 80, 40, 0xF0, 0, -60, 240, 320},
        {120, 100, 80, 40, 0x1B0, 0, -60, 240, 320},
        {200, 300, 5, 5, 0x30A, 0, 0, 200, 300},
        {200, 300, 5, 5, 0x10A, 0, 295, 200, 5},
        {30, 40, 5, 5, 0x300, 30, 40, 210, 280},
    };
    for (const Case& c : cases) {
        hud.ShowPopup(c.x, c.y, c.w, c.h, c.flags);
        EXPECT_EQ(hud.boxX, c.boxX) << std::hex << c.flags;
        EXPECT_EQ(hud.boxY, c.boxY) << std::hex << c.flags;
        EXPECT_EQ(hud.boxWidth, c.boxW) << std::hex << c.flags;
        EXPECT_EQ(hud.boxHeight, c.boxH) << std::hex << c.flags;
        EXPECT_FALSE(hud.laidOut);
    }
}

TEST_F(HudTest, PopupBoxServesOnePageThenTheScreenReturns) {
    hud.ShowPopup(10, 20, 100, 50, 0);
    hud.ShowList(JString("hi"), JString(), JString());
    EXPECT_EQ(hud.boxX, 10);
    EXPECT_EQ(hud.boxWidth, 100);
    hud.ShowList(JString("hi"), JString(), JString());
    EXPECT_EQ(hud.boxX, 0);
    EXPECT_EQ(hud.boxWidth, kScreenW);
    EXPECT_EQ(hud.boxHeight, kScreenH);
}

TEST_F(HudTest, MessageWrapsToTheBoxAndFitsTheBoxToItsText) {
    hud.ShowPopup(120, 160, 0, 0, 0xF0);
    hud.ShowList(JString("one two three four"), JString(), JString());
    // Wrapped at the screen's width: one line of 18 characters.
    EXPECT_EQ(hud.lineCount, 1);
    EXPECT_EQ(hud.boxWidth, 18 * kCharW);
    EXPECT_EQ(hud.boxX, (kScreenW - 18 * kCharW) / 2);
    EXPECT_EQ(hud.boxHeight, kFontH);
    EXPECT_EQ(hud.boxY, (kScreenH - kFontH) / 2);
    EXPECT_EQ(hud.placement, 0u);
    EXPECT_TRUE(hud.laidOut);

    hud.ShowPopup(20, 30, 40, 100, 0);
    hud.ShowList(JString("one two three four"), JString(), JString());
    EXPECT_EQ(hud.lineCount, 2);
    EXPECT_EQ(hud.lineWidths.elementAt(0), 7 * kCharW);
    EXPECT_EQ(hud.lineWidths.elementAt(1), 10 * kCharW);
    EXPECT_EQ(hud.boxWidth, 40);
    EXPECT_EQ(hud.textHeight, 2 * kFontH);
}

TEST_F(HudTest, LongTitlesWrapToTheScreenWidth) {
    hud.ShowMenu(Labels(2), 3, JString("short title"), JString("sub"));
    EXPECT_EQ(hud.titleLineCount, 1);
    EXPECT_TRUE(hud.subtitle.equals(JString("sub")));
    // 224 pixels fit 56 characters.
    JString longTitle;
    for (int32_t i = 0; i < 12; ++i) longTitle += JString("word ");
    hud.ShowMenu(Labels(2), 3, longTitle, JString());
    EXPECT_EQ(hud.titleLineCount, 2);
}

TEST_F(HudTest, ImageRowAndFramedLayoutsFollowTheirRowImages) {
    hud.SetMode(CHud::kClosed);
    hud.barHeight = 20;
    hud.rowHeight = 32;
    hud.SetFrameStyle(false, true, false, false);
    hud.ShowPopup(0, 40, kScreenW, 100, 0);
    hud.ShowMenu(Labels(3), 7, JString(), JString());
    // Five rows of 20 fit, three are used: the rows move down by one.
    EXPECT_EQ(hud.visibleLines, 3);
    EXPECT_EQ(hud.rowsTop, (40 + 2 * 20) / 2);
    EXPECT_EQ(hud.menuY, hud.rowsTop - (125 - 60) / 2 + 8);
    EXPECT_EQ(hud.menuTitleY, hud.menuY - 30);
    // Without the fit flags the box stays as placed.
    EXPECT_EQ(hud.boxHeight, 100);

    hud.SetFrameStyle(true, true, false, false);
    hud.ShowPopup(0, 0, kScreenW, 128, 0);
    hud.ShowMenu(Labels(2), 3, JString(), JString());
    EXPECT_EQ(hud.visibleLines, 2);
    EXPECT_EQ(hud.rowsTop, 60 + 2 * 32 / 2);
    EXPECT_EQ(hud.textHeight, 64);
}

TEST_F(HudTest, MissingRowImagesAndFontDivideByNothing) {
    hud.SetFrameStyle(false, true, false, false);
    hud.ShowMenu(Labels(4), 15, JString(), JString());
    EXPECT_EQ(hud.barHeight, 0);
    EXPECT_EQ(hud.visibleLines, 0);
    hud.Select(2);
    EXPECT_EQ(hud.selected, 2);
    touch.OnPointerDown(50, 50);
    Tick();
    hud.SetFrameStyle(true, true, false, false);
    hud.LoadFrameImages();
    EXPECT_EQ(hud.rowHeight, 0);
    hud.ShowMenu(Labels(4), 15, JString(), JString());
    hud.Select(3);
    hud.font = nullptr;
    hud.SetFrameStyle(false, false, false, false);
    hud.ShowList(JString("text"), JString("title"), JString());
    EXPECT_EQ(hud.visibleLines, 0);
    hud.mode = CHud::kDialogue;
    PressKey(EngineKey::kSelect);
    EXPECT_EQ(hud.mode, CHud::kClosed);
}

// A row answers anywhere on the band it is drawn in, from its top to the
// next row's: plain rows are a line high from the box's top, image rows a
// bar and framed rows a row frame high from rowsTop. Across, a framed row
// spans the screen and an image row the side frame, whatever the box.
TEST_F(HudTest, TapsOnRowsSelectOnPressAndConfirmOnRelease) {
    const auto tap = [this](int32_t x, int32_t y) {
        touch.OnPointerDown(x, y);
        Tick();
        return hud.selected;
    };
    MenuOf(4, 4);
    const int32_t rowTwoBottom = 100 + 3 * kFontH - 1;
    EXPECT_EQ(tap(30, rowTwoBottom), 2);
    EXPECT_FALSE(input.IsPressed(kConfirm));
    touch.OnPointerUp(30, rowTwoBottom);
    Tick();
    EXPECT_TRUE(input.IsPressed(kConfirm));
    EXPECT_EQ(tap(30, rowTwoBottom + 1), 3);

    // Scrolled half a row: the rows stand half a row higher, and the last,
    // half scrolled in under the box's bottom, answers too.
    MenuOf(8, 4);
    const auto tapScrolled = [&](int32_t y) {
        hud.scroll = kFontH + kFontH / 2;
        return tap(30, y);
    };
    EXPECT_EQ(tapScrolled(100 + kFontH / 2 + 1), 2);
    EXPECT_EQ(tapScrolled(100 + 4 * kFontH - 2), 5);

    hud.rowHeight = 32;
    hud.SetFrameStyle(true, true, false, false);
    hud.ShowPopup(40, 0, 160, 4 * 32, 0);
    hud.ShowMenu(Labels(4), 15, JString(), JString());
    EXPECT_EQ(tap(2, hud.rowsTop + 2 * 32 - 1), 1);
    EXPECT_EQ(tap(kScreenW - 2, hud.rowsTop + 2 * 32), 2);

    hud.barHeight = 20;
    hud.SetFrameStyle(false, true, true, false);
    hud.ShowPopup(80, 40, 80, 4 * 20, 0);
    hud.ShowMenu(Labels(4), 15, JString(), JString());
    hud.menuX = 30;
    hud.sideWidth = 180;
    EXPECT_EQ(tap(205, hud.rowsTop + 20), 1);
    EXPECT_EQ(tap(35, hud.rowsTop + 20 - 1), 0);
    EXPECT_EQ(tap(205, hud.rowsTop + 4 * 20 - 1), 3);
    // A box as wide as the screen (the pause page's): beside the side frame
    // nothing answers.
    hud.ShowPopup(0, 40, kScreenW, 4 * 20, 0);
    hud.ShowMenu(Labels(4), 15, JString(), JString());
    hud.menuX = 30;
    hud.sideWidth = 180;
    EXPECT_EQ(tap(10, hud.rowsTop + 20), 0);
    EXPECT_EQ(tap(kScreenW - 10, hud.rowsTop + 20), 0);
}

TEST_F(HudTest, MenuOverPlayTakesThePlayControlsAway) {
    CTouchButtonLayout layout;
    layout.Build(kScreenW, kScreenH, SoftKeyInsets());
    layout.Register(touch);
    for (int32_t group : {1, 2, 3}) touch.Enable(group);
    playControlsShown = 1;
    input.held = kLeft;
    MenuOf(3, 3);
    Tick();
    EXPECT_EQ(playControlsShown, 0);
    for (int32_t group : {1, 2, 3}) EXPECT_FALSE(touch.IsEnabled(group));
    EXPECT_TRUE(touch.IsEnabled(0));
    EXPECT_EQ(input.held, 0u);

    touch.Enable(1);
    touch.Enable(2);
    playControlsShown = 1;
    hud.ShowList(JString("a"), JString(), JString());
    hud.mode = CHud::kDialogue;
    Tick();
    EXPECT_FALSE(touch.IsEnabled(1));
    EXPECT_TRUE(touch.IsEnabled(2));
}

TEST_F(HudTest, DialoguePagesOnConfirmOrBackAndClosesAfterTheLast) {
    hud.ShowPopup(0, 0, 8 * kCharW, 2 * kFontH, 0);
    hud.ShowList(JString("aaaa bbbb cccc dddd eeee"), JString(), JString());
    ASSERT_EQ(hud.lineCount, 5);
    ASSERT_EQ(hud.visibleLines, 2);
    hud.mode = CHud::kDialogue;
    Tick();
    EXPECT_EQ(hud.scroll, 0);
    PressKey(EngineKey::kSelect);
    EXPECT_EQ(hud.scroll, 20);
    PressKey(EngineKey::kBack);
    EXPECT_EQ(hud.scroll, 40);
    EXPECT_EQ(hud.mode, CHud::kDialogue);
    // A tap anywhere counts as a confirm.
    touch.OnPointerDown(200, 300);
    Tick();
    EXPECT_EQ(hud.mode, CHud::kClosed);

    hud.ShowList(JString("one"), JString(), JString());
    hud.mode = CHud::kPlayText;
    PressKey(EngineKey::kBack);
    EXPECT_EQ(hud.mode, CHud::kClosed);
}

// Two lines a page: lines that fill their last page leave no blank page
// after it.
TEST_F(HudTest, ADialogueHasAPageForEveryTwoLinesBegun) {
    const struct {
        const char* text;
        int32_t pages;
    } cases[] = {{"aaaa bbbb cccc dddd", 2}, {"aaaa bbbb cccc dddd eeee", 3}, {"aaaa bbbb cccc dddd eeee ffff", 3}};
    for (const auto& c : cases) {
        hud.ShowPopup(0, 0, 8 * kCharW, 2 * kFontH, 0);
        hud.ShowList(JString(c.text), JString(), JString());
        hud.mode = CHud::kDialogue;
        Tick();
        int32_t pages = 1;
        for (; pages < 10; ++pages) {
            PressKey(EngineKey::kSelect);
            if (hud.mode == CHud::kClosed) break;
        }
        EXPECT_EQ(pages, c.pages) << c.text;
    }
}

// A dialogue's page ends between sentences where the next one does not fit
// on it; a sentence longer than a page goes on over the next, and the last
// page is not filled up. A full stop with no space after it ends no
// sentence: the text is left as it is written.
TEST_F(HudTest, DialoguePagesBreakBetweenSentences) {
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {{"aa. bb. cccc dddd eeee. ff.", {"aa. bb.", "", "cccc", "dddd", "eeee.", "ff."}},
                 {"aa.bb cc.", {"aa.bb", "cc."}}};
    for (const auto& c : cases) {
        hud.ShowPopup(0, 0, 8 * kCharW, 2 * kFontH, 0);
        hud.ShowPlayPage(JString(c.text), CHud::kDialogue);
        ASSERT_EQ(hud.lineCount, static_cast<int32_t>(c.lines.size())) << c.text;
        for (int32_t i = 0; i < hud.lineCount; ++i) {
            EXPECT_EQ(hud.lines.elementAt(i), JString(c.lines[static_cast<size_t>(i)].c_str())) << c.text << " " << i;
        }
        EXPECT_EQ(hud.visibleLines, 2);
    }
}

TEST_F(HudTest, ImagesRunOutOrEndOnConfirm) {
    hud.ShowImage(nullptr, -1);
    EXPECT_EQ(hud.duration, CHud::kForever);
    for (int32_t i = 0; i < 1000; ++i) Tick();
    EXPECT_EQ(hud.mode, CHud::kImage);
    PressKey(EngineKey::kSoftLeft);
    EXPECT_EQ(hud.mode, CHud::kImageDone);
    EXPECT_TRUE(hud.imageDone);

    // The next image counts its own time, not what the last one left.
    hud.imageDone = false;
    hud.ShowImage(nullptr, 300);
    Tick();
    int32_t ticks = 0;
    while (hud.mode == CHud::kImage && ticks < 100) {
        Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 5);
    EXPECT_TRUE(hud.imageDone);
}

TEST_F(HudTest, InterludeHoldsTheHudAndConfirmShortensIt) {
    MenuOf(3, 3);
    progress.interludeShown = 1;
    progress.interludeStart = 10000;
    PressKey(EngineKey::kDown);
    EXPECT_EQ(hud.selected, 0);
    PressKey(EngineKey::kSelect);
    EXPECT_EQ(progress.interludeStart, 7000u);
}

TEST_F(HudTest, LongMessageScrollsByLinesAndCreditsRollByThemselves) {
    hud.ShowPopup(0, 0, 4 * kCharW, 2 * kFontH, 0);
    hud.ShowList(JString("aaa bbb ccc ddd"), JString(), JString());
    ASSERT_EQ(hud.textHeight, 40);
    EXPECT_TRUE(hud.ShowsScrollArrows());
    PressKey(EngineKey::kDown);
    EXPECT_EQ(hud.scroll, 10);
    PressKey(EngineKey::kDown);
    PressKey(EngineKey::kDown);
    // The last step brings the last line to the top.
    EXPECT_EQ(hud.scroll, 30);
    PressKey(EngineKey::kDown);
    EXPECT_EQ(hud.scroll, 30);
    for (int32_t i = 0; i < 4; ++i) PressKey(EngineKey::kUp);
    EXPECT_EQ(hud.scroll, 0);

    hud.SetAutoScroll(true);
    hud.ShowPopup(0, 0, 4 * kCharW, 3, 0);
    hud.ShowList(JString("aaa bbb"), JString(), JString());
    EXPECT_EQ(hud.creditHeight, 20);
    for (int32_t i = 0; i < 3; ++i) Tick();
    EXPECT_EQ(hud.creditDelay, 3);
    EXPECT_EQ(hud.scroll, 0);
    for (int32_t i = 0; i < 20; ++i) Tick();
    EXPECT_EQ(hud.scroll, 20);
    Tick();
    EXPECT_EQ(hud.scroll, 0);
    EXPECT_EQ(hud.creditDelay, 0);
}

// A sprite without a sprite set behind it, or none at all, is ticked
// harmlessly.
TEST_F(HudTest, FullScreenSpriteModeStaysUntilThePlayWorldEndsIt) {
    CSpriteInstance sprite;
    hud.Clear();
    hud.mode = CHud::kFullScreenSprite;
    Tick();
    world.fullScreenSprite = &sprite;
    PressKey(EngineKey::kSelect);
    Tick();
    EXPECT_EQ(hud.mode, CHud::kFullScreenSprite);
    world.fullScreenSprite = nullptr;
}

TEST_F(HudTest, ClosedHudDoesNothing) {
    hud.ShowMenu(Labels(3), 7, JString(), JString());
    hud.laidOut = false;
    PressKey(EngineKey::kDown);
    EXPECT_EQ(hud.selected, 0);
}

TEST(CGameTimersTest, OneShotStopsRepeatingReloadsAndStartKeepsThePeriod) {
    CGameTimers timers;
    EXPECT_FALSE(timers.IsRunning(0));
    EXPECT_FALSE(timers.Tick(0, 60));
    timers.Start(0, 100);
    EXPECT_FALSE(timers.Tick(0, 60));
    EXPECT_TRUE(timers.Tick(0, 60));
    EXPECT_FALSE(timers.IsRunning(0));

    timers.StartRepeating(1, 100);
    EXPECT_TRUE(timers.Tick(1, 120));
    EXPECT_EQ(timers.GetRemaining(1), 80);
    EXPECT_TRUE(timers.IsRunning(1));
    timers.Start(1, 10);
    EXPECT_TRUE(timers.Tick(1, 10));
    EXPECT_EQ(timers.GetRemaining(1), 100);
    timers.Stop(1);
    EXPECT_FALSE(timers.IsRunning(1));
    EXPECT_FALSE(timers.IsRunning(2));
    EXPECT_FALSE(timers.Tick(-1, 1));
}

}  // namespace
