#ifndef CSTATES_H
#define CSTATES_H

#include <cstdint>

#include "CMenuBackdrop.h"
#include "CMenuPage.h"
#include "JString.h"
#include "JVector.h"

class CGame;
class CGameInput;
class CGameProgress;
class CHud;
class CSoundManager;
class JFont;
class JGraphics;
class JImage;

// The game's screens as numbered states: the start-up checks, the sound
// question, the splash and intro, the main menu and its pages, message
// boxes, loading, play (every state from 100 on, run by the progress
// record), pause, game over and quitting. Entering a state builds its
// screen once; each tick reads the keys, runs the state's own step and
// may enter the next state. Pages remember where they were opened from on
// a small return stack, so that "back" returns to the same item.
class CStates {
public:
    // The states.
    static constexpr int32_t kBack = 1;
    static constexpr int32_t kFirstFrame = 2;
    static constexpr int32_t kStartupChecks = 3;
    static constexpr int32_t kLanguageChoice = 4;
    static constexpr int32_t kInterfaceSetup = 5;
    static constexpr int32_t kSoundQuestion = 6;
    static constexpr int32_t kSoundYes = 7;
    static constexpr int32_t kSoundNo = 8;
    static constexpr int32_t kLogoSlide = 9;
    static constexpr int32_t kLogoPieces = 10;
    static constexpr int32_t kLogoWhole = 11;
    static constexpr int32_t kTitle = 12;
    static constexpr int32_t kLogoWipe = 13;
    static constexpr int32_t kIntroImage = 14;
    static constexpr int32_t kIntroSkip = 15;
    static constexpr int32_t kSplashEnd = 17;
    static constexpr int32_t kMainMenu = 18;
    static constexpr int32_t kOptions = 23;
    static constexpr int32_t kProgressReset = 24;
    static constexpr int32_t kAbout = 26;
    static constexpr int32_t kLoadLevel = 27;
    static constexpr int32_t kPause = 29;
    static constexpr int32_t kMessageBox = 30;
    static constexpr int32_t kQuit = 38;
    static constexpr int32_t kGameOver = 40;
    static constexpr int32_t kLevelSelect = 41;
    static constexpr int32_t kHelp = 42;
    static constexpr int32_t kGoodbye = 43;
    static constexpr int32_t kTouchNotice = 46;
    static constexpr int32_t kPlayLoad = 100;
    static constexpr int32_t kPlay = 101;
    static constexpr int32_t kPlayOver = 102;
    static constexpr int32_t kPlayFrozen = 103;

    // Page kinds (entry 2 of a page's layout).
    static constexpr int32_t kKindLanguages = -1;
    static constexpr int32_t kKindMainMenu = -2;
    static constexpr int32_t kKindPause = -3;
    static constexpr int32_t kKindOptions = -5;
    static constexpr int32_t kKindMessageBox = -6;
    static constexpr int32_t kKindLevelSelect = -8;

    // Texts.
    static constexpr int32_t kTextPlay = 0x21FF017E;
    static constexpr int32_t kTextOptions = 0x21FF020A;
    static constexpr int32_t kTextHelp = 0x21FF017F;
    static constexpr int32_t kTextAbout = 0x21FF0222;
    static constexpr int32_t kTextQuit = 0x21FF0201;
    static constexpr int32_t kTextSound = 0x21FF0213;
    static constexpr int32_t kTextVibration = 0x21FF01F2;
    static constexpr int32_t kTextResetProgress = 0x21FF01D3;
    static constexpr int32_t kTextOn = 0x21FF0226;
    static constexpr int32_t kTextOff = 0x21FF01D6;
    static constexpr int32_t kTextResume = 0x21FF0242;
    static constexpr int32_t kTextRestartLevel = 0x21FF021D;
    static constexpr int32_t kTextQuitToMenu = 0x21FF01A8;
    static constexpr int32_t kTextRetry = 0x21FF011E;
    static constexpr int32_t kTextNo = 0x21FF022C;
    static constexpr int32_t kTextYes = 0x21FF028D;
    static constexpr int32_t kTextSoundQuestion = 0x21FF0207;
    static constexpr int32_t kTextStorageFailed = 0x21FF023D;
    static constexpr int32_t kTextRecordUnreadable = 0x21FF02B1;
    static constexpr int32_t kTextResetFailed = 0x21FF02B2;
    static constexpr int32_t kTextResetIncomplete = 0x21FF02B3;
    static constexpr int32_t kTextSettingsFailed = 0x21FF02B4;
    static constexpr int32_t kTextOk = 0x21FF02B0;
    static constexpr int32_t kTextQuitQuestion = 0x21FF01D7;
    static constexpr int32_t kTextResetQuestion = 0x21FF0145;
    static constexpr int32_t kTextRestartQuestion = 0x21FF0196;
    static constexpr int32_t kTextQuitToMenuQuestion = 0x21FF0252;
    static constexpr int32_t kTextGoodbye = 0x21FF0187;
    static constexpr int32_t kTextHelpBody = 0x21FF0184;
    static constexpr int32_t kTextAboutFormat = 0x21FF02A9;
    static constexpr int32_t kTextAboutLine2 = 0x21FF01CD;
    static constexpr int32_t kTextAboutLine3 = 0x21FF0168;
    static constexpr int32_t kTextAboutLine4 = 0x21FF0133;
    static constexpr int32_t kTextCaption = 0x21FF01BF;
    static constexpr int32_t kLevelTexts[] = {0x21FF024B, 0x21FF0234, 0x21FF01AE, 0x21FF019A, 0x21FF01D9,
                                              0x21FF01B4, 0x21FF0130, 0x21FF0118, 0x21FF0175};
    static constexpr int32_t kLevelCount = 9;

    // Sounds.
    static constexpr int32_t kSoundLogo = 0x9000163;
    static constexpr int32_t kSoundMenuMusic = 0x9000169;
    static constexpr int32_t kSoundOnJingle = 0x9000223;
    static constexpr int32_t kVibrationMs = 800;

    // Images and resources.
    static constexpr uint32_t kLogoImage = 671;
    static constexpr uint32_t kFrameHalfImage = 429;
    static constexpr uint32_t kFrameBarImage = 460;
    static constexpr uint32_t kFrameEdgeImage = 612;
    static constexpr int32_t kIntroGroup = 0x5000101;

    // Keys.
    static constexpr uint32_t kKeyBack = 0x4000000;
    static constexpr uint32_t kKeySelect = 0x1000000;
    static constexpr uint32_t kKeySoftRight = 0x200000;
    static constexpr uint32_t kKeySelectGroup = 0x1008010;

    // Soft-key flags of the input object.
    static constexpr uint32_t kSoftConfirm = 0x01;
    static constexpr uint32_t kSoftBack = 0x02;
    static constexpr uint32_t kSoftConfirmAlt = 0x04;

    static constexpr int32_t kStackSize = 10;
    static constexpr int32_t kSplashTimer = 1;
    static constexpr int32_t kNoTitle = 32767;
    // Every entered state is remembered up to this many (the oldest go).
    static constexpr int32_t kHistoryLength = 256;

    // What a message box says and where its answers lead. It is handed
    // whole to OpenMessageBox, and the box on screen is replaced whole, so
    // nothing of one box is left for the next.
    struct MessageBox {
        enum class Kind : uint8_t { kQuestion, kNotice };
        Kind kind = Kind::kQuestion;
        // "title|body".
        JString text;
        // Where yes leads; a notice has no yes.
        int32_t yesState = 0;
        // Where no and back lead, and a notice's OK.
        int32_t noState = kBack;
        // Drawn over black instead of the menu frame, without soft keys.
        bool overBlack = false;
        // The stylus went down while the box was up.
        bool touched = false;
    };

    CStates();
    ~CStates();

    CStates(const CStates&) = delete;
    CStates& operator=(const CStates&) = delete;

    void SetState(int32_t n);
    void Update(int32_t dt);
    void Paint(JGraphics& g);
    // Before the paint of a frame that starts from a cleared screen: true
    // when the still part of the menu page on screen was kept and has been
    // copied back over the whole screen, so that the screen needs no clear
    // and the paint draws only what moves; otherwise a menu page is kept as
    // the paint draws it.
    bool StartRepaint(JGraphics& g);
    // As StartRepaint, but nothing is copied back: true when the kept still
    // part stands for the page on screen, and the next paint then draws only
    // what moves (for a caller that rehearses it).
    bool StartRehearsal(JGraphics& g);
    // Changes whenever another page is kept.
    uint64_t GetKeptPageSerial() const { return m_backdrop.GetKeptSerial(); }
    void PushState();
    void Quit();
    void QuitGame() { Quit(); }
    // A save failed: the storage notice goes over the current screen, which
    // its acknowledgement returns to.
    void ReportSaveFailure();
    // A save failed: the storage notice, its acknowledgement leading to
    // `then`.
    int32_t SaveFailureNotice(int32_t then);
    // Keeps the box for the message-box state and returns that state, for
    // the caller to enter.
    int32_t OpenMessageBox(const MessageBox& box);
    static MessageBox Question(int32_t textId, int32_t yesState);
    static MessageBox Notice(int32_t textId, int32_t then);
    // The box on screen (a default one when none is).
    const MessageBox& ShownMessageBox() const { return m_shownBox; }

    // Splash, intro and screen painting.
    void SelectFont(int32_t mode);
    void SetupCommonUi();
    void LoadIntro();
    void LoadMenuFrame();
    void FreeMenuFrame();
    void PaintMenuFrame(JGraphics& g, int32_t mode);

    // Menu pages.
    void SetPageBox(int32_t mode, int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags);
    void OpenOptionsPage(int32_t kind, int32_t selection);
    void OpenPausePage(int32_t kind, int32_t selection);
    void ToggleSoundOption(uint8_t option);
    JVector<JString> BuildOptionLabels(const CMenuPage& shown, int32_t mode, int32_t subMode) const;
    void OpenMenuPage(int32_t kind, int32_t mode, const JVector<JVector<int32_t>>& description, CMenuPage& shown);
    static uint32_t EnableMaskFromFlags(const JVector<uint8_t>& flags);

    // The states entered so far, oldest first (at most kHistoryLength).
    const JVector<int32_t>& GetHistory() const { return history; }

    CMenuPage page;
    JVector<JString> messages;
    int32_t state = kFirstFrame;
    JFont* font = nullptr;
    JFont* altFont = nullptr;
    JFont* defaultFont = nullptr;
    uint8_t answerYes = 0;
    JVector<int32_t> stack;
    int32_t stackDepth = 0;

    int32_t playBlink = 0;
    int32_t logoX = 0;
    int32_t logoY = 0;
    int32_t slideDistance = 0;
    int32_t bounceHeight = 0;
    int32_t stateTime = 0;
    int32_t restX = 0;
    int32_t restY = 0;
    JImage* logoSheet = nullptr;
    JImage* currentImage = nullptr;
    JImage** images = nullptr;
    int32_t imageCount = 0;
    int32_t introImagesLoaded = 0;
    int32_t introIndex = 0;

    JImage* frameHalf = nullptr;
    JImage* frameExtra = nullptr;
    JImage* frameEdge = nullptr;
    JImage* frameBar = nullptr;

    JString loadingText;
    uint8_t soundOption = 0;
    uint8_t vibrationOption = 1;
    JString emptyText;
    JVector<JVector<int32_t>> pageDesc;
    JVector<int32_t> pageItems;
    JVector<int32_t> pageLayout;
    JVector<int32_t> pageTitles;
    JVector<JString> languages;
    JVector<uint8_t> itemFlags;
    JVector<JVector<int32_t>> pageBox;
    JVector<JVector<int32_t>> animTime;

    uint8_t splashSoundStarted = 0;
    uint8_t restartPending = 0;
    uint8_t menuShown = 0;
    // The start-up storage test succeeded and no save has failed since.
    uint8_t storageOk = 1;
    // A record file is there but cannot be read: it is kept as it is.
    uint8_t recordUnreadable = 0;
    int32_t frameCount = 0;
    int32_t musicRestarted = 0;

private:
    // The game's parts; the state machine lives inside the game object.
    static CGame* Game();
    static CHud* Hud();
    static CGameInput* Input();
    static CSoundManager* Sound();
    static CGameProgress* Progress();
    static int32_t ScreenWidth();
    static int32_t ScreenHeight();
    static int32_t HalfWidth();
    static int32_t HalfHeight();
    static void PlaySound(int32_t id, bool loop);
    static void StopSound();
    // A text of device.conf (CDeviceConfig::Text); empty when not given.
    static JString DeviceText(int32_t which);

    // Entering a state (CStates.cpp).
    // The state that entering n enters, with the selection and soft-key
    // flags of its screen.
    int32_t Redirect(int32_t n, int32_t* selection, uint32_t* softKeys);
    int32_t PopState(int32_t* selection);
    void RecordEntered(int32_t n);
    // The screen of a state below 100, with the soft-key flags it asks for.
    void BuildScreen(int32_t n, int32_t selection, uint32_t* softKeys);
    void ShowTextArrows(bool shown);
    void EnterMessageBox(int32_t selection, uint32_t* softKeys);
    void EnterMainMenu(int32_t selection);
    void EnterTextPage(int32_t y, int32_t widthMargin, int32_t heightMargin, const JString& text);
    // The box and frame of a text page, for the text shown next.
    void PlaceTextPage(int32_t y, int32_t widthMargin, int32_t heightMargin);
    JString AboutText() const;

    // One tick (CStates_Update.cpp).
    int32_t BackKeyStep();
    int32_t SelectKeyStep();
    int32_t ChooseItem(int32_t id, int32_t selection);
    int32_t ChooseMainMenuItem(int32_t id);
    int32_t LoadLevelFromMenu(int32_t level);
    int32_t ChooseOptionsItem(int32_t id, int32_t selection);
    int32_t ChoosePauseItem(int32_t id, int32_t selection);
    int32_t ChooseGameOverItem(int32_t id);
    int32_t AnswerMessageBox(int32_t id);
    int32_t StateStep(int32_t dt, bool select, int32_t hudMode);
    // The stylus went down on the screen in this tick.
    static bool TappedDown();
    bool NoticeTapped();
    int32_t StartupChecks();
    int32_t InterfaceSetup();
    void ApplySoundAnswer();
    int32_t StartLoading();
    int32_t EndSplash();
    void ResumeAfterGameOver();
    void CommitPageSelection(int32_t dt);
    void WatchLoopingSound();

    // The splash (CStates_Splash.cpp).
    void EnterLogoSlide();
    int32_t SlideLogo(int32_t dt, bool select);
    int32_t ShowLogoPieces(int32_t dt, bool select);
    void EnterTitle();
    void EnterIntroImage();
    void ReleaseSplashImages();
    void PaintLogoWipe(JGraphics& g);
    void PaintLoadingScreen(JGraphics& g);
    void PaintPageBackground(JGraphics& g);
    bool ShowsMenuPage() const;
    CMenuBackdrop::Page MenuPage() const;

    // Page building (CStates_Menus.cpp).
    void OpenPage(const int32_t* items, int32_t count, int32_t kind, int32_t selection);
    void OpenTitledPage(const int32_t* items, int32_t count, int32_t kind, int32_t selection, int32_t title0,
                        int32_t title1);
    void OpenMainMenuPage(int32_t selection);
    void OpenGameOverPage(int32_t selection);
    void OpenLevelSelectPage(int32_t selection);
    void ShowPageInHud(CMenuPage& shown);
    // The item of the HUD's selected row becomes the page's selection.
    void TakeHudSelection(CMenuPage& shown);
    JString OnOffLabel(int32_t textId, bool on) const;
    JString ItemText(int32_t id) const;

    // How the next paint treats the menu page (StartRepaint).
    enum MenuPagePaint : int32_t { kPaintWhole, kPaintAndKeep, kPaintMoving };
    int32_t m_menuPagePaint = kPaintWhole;
    CMenuBackdrop m_backdrop;

    JVector<int32_t> history;
    // The box OpenMessageBox keeps for the next entry of the message-box
    // state, and the one that entry put on screen.
    MessageBox m_pendingBox;
    MessageBox m_shownBox;
};

#endif
