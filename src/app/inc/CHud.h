#ifndef CHUD_H
#define CHUD_H

#include <cstdint>
#include <vector>

#include "CGraphics2d_Lite.h"
#include "JString.h"
#include "JVector.h"

class CGameInput;
class CGameProgress;
class CGameTimers;
class CGameWorld;
class CTouchButtonManager;
class JFont;
class JGraphics;
class JImage;

// The one overlay of the game: menus (a titled list with a selection),
// message and text pages, the loading screen, timed images and the
// dialogue boxes of play. The state machine and the play world configure
// it; its update moves the selection, repeats held keys, pages and scrolls
// text and turns taps into key presses; the state machine reads the
// selection and the key masks.
class CHud {
public:
    enum Mode : int32_t {
        kClosed = 0,
        kMenu = 1,
        kMessage = 2,
        kLoading = 3,
        kImage = 4,
        kPagedText = 5,
        kImageDone = 6,
        kDialogue = 20,
        kPlayText = 21,
        kFullScreenSprite = 22,
    };

    // Box placement flags (ShowPopup) and content fitting (layout).
    static constexpr uint32_t kFarX = 0x02;
    static constexpr uint32_t kFarY = 0x08;
    static constexpr uint32_t kCentreX = 0x10;
    static constexpr uint32_t kCentreY = 0x20;
    static constexpr uint32_t kFitX = 0x40;
    static constexpr uint32_t kFitY = 0x80;
    static constexpr uint32_t kFromScreenX = 0x100 | kFitX;
    static constexpr uint32_t kFromScreenY = 0x200 | kFitY;

    static constexpr int32_t kMaxMenuItems = 32;
    static constexpr int32_t kNoSpeaker = -1;
    static constexpr int32_t kForever = 0x7FFFFFFF;
    static constexpr int32_t kTitleMargin = 16;
    static constexpr int32_t kDefaultRowsTop = 60;

    static constexpr uint32_t kLoadingText = 0x21FF0292;
    static constexpr uint32_t kNoticeTitleText = 0x21FF023D;

    // Images, loaded on first use.
    static constexpr uint32_t kBarTileImage = 654;
    static constexpr uint32_t kBarCapFramedImage = 555;
    static constexpr uint32_t kBarCapImage = 334;
    static constexpr uint32_t kDialogLeftImage = 324;
    static constexpr uint32_t kDialogTileImage = 562;
    static constexpr uint32_t kDialogRightImage = 593;
    static constexpr uint32_t kRowFrameLeftImage = 491;
    static constexpr uint32_t kRowFrameTileImage = 526;
    static constexpr uint32_t kScrollArrowImage = 331;
    static constexpr uint32_t kSideTopImage = 605;
    static constexpr uint32_t kSideBottomImage = 512;
    static constexpr uint32_t kSideTileImage = 604;

    // What the HUD reads and writes of the game's other parts.
    struct Links {
        CGameInput* input = nullptr;
        CTouchButtonManager* touchButtons = nullptr;
        CGameTimers* timers = nullptr;
        CGameProgress* progress = nullptr;
        CGameWorld* world = nullptr;
        // The game's flag that the play controls are on.
        uint8_t* playControlsShown = nullptr;
    };

    CHud() = default;
    ~CHud();

    CHud(const CHud&) = delete;
    CHud& operator=(const CHud&) = delete;

    void Attach(const Links& links) { m_links = links; }
    void SetScreenSize(int32_t width, int32_t height);

    void SetMode(int32_t newMode);
    // The labels whose bit is set in the mask (of the first 32), in order.
    void ShowMenu(const JVector<JString>& labels, uint32_t enableMask, const JString& newTitle,
                  const JString& newSubtitle);
    void ShowList(const JString& text, const JString& newTitle, const JString& newSubtitle);
    // An untitled text whose line breaks end its topics: each topic is
    // wrapped by itself, with a blank row before the next.
    void ShowTopics(const JString& text);
    // A page in play, `playMode` kDialogue or kPlayText: an untitled text
    // read a box at a time, a page ending between sentences where a whole
    // one fits on it. Under the name of the speaker already set (kPlayText),
    // which stands inside the box, a page holds only the lines that fit
    // below the name.
    void ShowPlayPage(const JString& text, Mode playMode);
    // A dialogue or a page in play on screen goes; the box keeps its layout.
    void ClosePlayPage();
    // The play world's full-screen sprite over play, until the world ends it.
    void ShowFullScreenSprite();
    // The text page's lines each stand centred in its box.
    void CentreLines();
    // The loading screen.
    void Clear();
    // A negative time never runs out.
    void ShowImage(JImage* shown, int32_t ms);
    void SetTitle(const JString& newTitle, const JString& newSubtitle);
    // The page's title and body stand as a text page's lines: from `top`
    // down, `width` wide in the middle of the screen, the title centred and
    // the body a blank row below it. Every new page starts without.
    void SetTitlesAsText(int32_t top, int32_t width);
    // Wraps around the ends of the menu and scrolls the selection into view.
    void Select(int32_t index);
    // The box of the next page.
    void ShowPopup(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags);
    void SetBoxFlags(bool clear, bool frame);
    void SetTextCentred(int32_t value) { centred = value; }
    void SetFrameStyle(bool framed, bool rowsOfImages, bool side, bool background);
    void SetAutoScroll(bool on);
    void LoadFrameImages();
    int32_t GetBoxWidth() const { return boxWidth; }
    int32_t GetBoxHeight() const { return boxHeight; }

    // First step of every state update.
    void Update(int32_t ms);
    // A page over play takes the play controls away (a menu all of them, a
    // dialogue the pad).
    void HidePlayControls(bool menu);
    // Draws the laid-out page; nothing before it is laid out. While the
    // progress record shows its interlude, its picture fills the screen
    // instead.
    void Paint(JGraphics& g);
    // Paint in two parts: what stays the same while the page and its layout
    // do (title, outline, row frames), then what moves with the selection
    // and the scrolling, which also resets the clip.
    void PaintStill(JGraphics& g);
    void PaintMoving(JGraphics& g);
    // A page holds the screen. A closed box keeps its layout (a script's
    // full-screen picture is drawn with it) but is no page.
    bool ShowsPage() const { return laidOut && mode != kClosed; }
    // A menu page on screen, which PaintStill and PaintMoving paint whole.
    bool ShowsMenuPage() const { return laidOut && !noticeBox && mode == kMenu; }
    // A text page longer than its box shows the arrows that scroll it, from
    // the page's first frame on.
    bool ShowsScrollArrows() const;

    JFont* font = nullptr;
    JImage* image = nullptr;
    JVector<JString> lines;
    JVector<int32_t> itemIndexes;
    int32_t duration = 0;
    int32_t mode = kClosed;
    int32_t percent = 0;
    JString title;
    JString subtitle;
    JVector<JString> titleLines;
    // The subtitle wrapped like the title.
    JVector<JString> subtitleLines;
    int32_t boxX = 0;
    int32_t boxY = 0;
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    uint32_t placement = 0;
    bool laidOut = false;
    int32_t selected = 0;
    JVector<int32_t> lineWidths;
    int32_t lineCount = 0;
    int32_t visibleLines = 0;
    int32_t page = 0;
    int32_t textHeight = 0;
    int32_t scroll = 0;
    int32_t repeatTimer = 0;
    bool keepBox = true;
    bool clearScreen = true;
    bool drawFrame = false;
    int32_t centred = 1;
    // Where SetTitlesAsText puts the title (-1: above the rows) and how wide
    // it wraps it and the body (0: the screen less the title margin).
    int32_t textTitleTop = -1;
    int32_t textTitleWidth = 0;
    bool imageBar = true;
    JImage* barTile = nullptr;
    JImage* barCapFramed = nullptr;
    JImage* barCap = nullptr;
    bool soundQuestion = false;
    JImage* rowFrameLeft = nullptr;
    JImage* rowFrameTile = nullptr;
    JImage* scrollArrow = nullptr;
    JImage* sideTop = nullptr;
    JImage* sideBottom = nullptr;
    JImage* sideTile = nullptr;
    bool framedRows = false;
    bool imageRows = false;
    bool paintBackground = false;
    bool sideFrame = false;
    int32_t rowsTop = kDefaultRowsTop;
    int32_t menuX = 0;
    int32_t menuY = 0;
    int32_t menuTitleX = 0;
    int32_t menuTitleY = 0;
    int32_t sweepLeft = -1;
    int32_t sweepStep = 0;
    JImage* dialogLeft = nullptr;
    JImage* dialogTile = nullptr;
    JImage* dialogRight = nullptr;
    int32_t dialogHeight = 0;
    int32_t speaker = kNoSpeaker;
    JString loadingLabel;
    int32_t creditDelay = 0;
    bool autoScroll = false;
    int32_t creditHeight = 0;
    bool imageDone = false;
    int32_t barHeight = 0;
    int32_t rowHeight = 0;
    int32_t sideWidth = 0;
    int32_t titleLineCount = 0;
    bool noticeBox = false;
    // Set while a message box holds the play (the camera stands still).
    uint8_t modal = 0;
    // Set when the game pauses or resumes: the HUD must be drawn again.
    bool visible = false;
    // The portrait of the dialogue's speaker (not owned).
    JImage* speakerImage = nullptr;

private:
    int32_t FontHeight() const;
    // The row height of the menu's style.
    int32_t RowHeight() const;
    int32_t LineWidth(const JString& line) const;
    // The text in lines no wider than the screen less the title margin, or
    // than a text page's title width when one is set.
    JVector<JString> WrapTitle(const JString& text) const;
    // How a text page's lines are made and set: plain lines from the box's
    // left or centred in it, topics (one to each line break) a blank row
    // apart, or pages of whole sentences, under the speaker's name or not.
    // Every new page starts with plain lines.
    enum class PageText : uint8_t { kLines, kCentredLines, kTopics, kSentencePages, kSentencePagesUnderName };
    void ShowMessage(const JString& text, const JString& newTitle, const JString& newSubtitle, PageText pageText);
    // A message page's text in lines no wider than its box.
    JVector<JString> WrapMessage(const JString& text) const;
    JVector<JString> WrapTopics(const JString& text) const;
    // Pages of as many whole sentences as fit in the box, each filled up
    // with blank lines but the last; a sentence longer than a page fills
    // whole pages and its rest begins the next.
    JVector<JString> WrapSentencePages(const JString& text) const;
    void Layout();
    // The box's height left to its lines.
    int32_t TextRoom() const;
    void LayoutRows(int32_t contentWidth);
    int32_t SideFrameDrop(int32_t rowsHeight) const;
    void FitBox(int32_t contentWidth, int32_t contentHeight);
    int32_t WidestLine() const;

    void RepeatHeldKeys(int32_t ms, bool* up, bool* down);
    void UpdateMenu(bool up, bool down);
    bool TapMenuRow();
    void RowSpan(int32_t* left, int32_t* right) const;
    void TapScrollArrows();
    void UpdateImage(int32_t ms, bool confirm);
    void UpdatePlayText(bool confirm);
    void UpdateScrollingText(bool up, bool down);
    void TickFullScreenSprite(int32_t ms);

    // Painting (CHud_Paint.cpp).
    // True when the interlude's picture was painted in the page's place.
    bool PaintInterlude(JGraphics& g);
    void PaintContent(JGraphics& g);
    void PaintNoticeBox(JGraphics& g);
    void PaintTitle(JGraphics& g);
    void PaintTitleAsText(JGraphics& g);
    void PaintRowFrames(JGraphics& g);
    void PaintSelectionBar(JGraphics& g);
    void PaintPlainBar(JGraphics& g, bool framedStyle, bool imageRowStyle);
    void PaintRows(JGraphics& g, int32_t startY);
    void PaintTextArrows(JGraphics& g);
    void PaintFramedRows(JGraphics& g);
    void PaintRowFrame(JGraphics& g, int32_t x, int32_t y);
    void PaintSideFrame(JGraphics& g, int32_t x, int32_t y, int32_t height);
    void PaintLoading(JGraphics& g);
    void PaintDialogue(JGraphics& g);
    // Where a dialogue's lines begin in a frame whose top is at frameTop.
    int32_t DialogueTextTop(int32_t frameTop, bool named) const;
    void PaintPlayText(JGraphics& g);
    void PaintTextBacking(JGraphics& g);
    void PaintPlayBorder(JGraphics& g);
    void PaintEmblem(JGraphics& g, JImage** set);
    JImage* SpeakerPortrait() const;
    JString SpeakerName() const;
    // How far the speaker's name, heading a page in play, puts its lines
    // down; 0 without a name.
    int32_t NameHeadingHeight() const;

    Links m_links;
    PageText m_pageText = PageText::kLines;
    // Room for the tiles of a strip drawn in one call, kept from frame to frame.
    std::vector<CGraphics2d_Lite::ImagePiece> m_tilePieces;
    int32_t m_screenWidth = 0;
    int32_t m_screenHeight = 0;
};

#endif
