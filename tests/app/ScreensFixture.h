#ifndef SCREENSFIXTURE_H
#define SCREENSFIXTURE_H

#include <string>
#include <vector>

#include "CGame.h"
#include "CStates.h"
#include "GameAppFixture.h"

// The running game on its compiled content (the archive and configuration
// files beside the program), driven key by key, one game step a frame.
class ScreensFixture : public GameAppFixture {
protected:
    // The sound question's answers, by their rows.
    static constexpr int32_t kNoRow = 0;
    static constexpr int32_t kYesRow = 1;

    void SetUp() override;

    // Copies the program's content into the application directory; the
    // device configuration replaced when `deviceConf` is given.
    void UseProgramContent(const std::string& deviceConf = std::string());
    CStates& States() const { return *CGame::GetStateMachine(); }
    int32_t State() const { return States().state; }
    // A key pressed and released before the next frame, then that frame.
    void Press(int32_t engineKey);
    void Frames(int32_t count);
    // Frames until the state is reached (false after `limit` frames).
    bool RunUntil(int32_t state, int32_t limit = 400);
    // Moves the selection to the row, then selects it.
    void Choose(int32_t row);
    // From the start to the main menu, answering the sound question.
    void BootToMainMenu(int32_t soundAnswerRow = kNoRow);
    // The states entered since the history was last marked.
    std::vector<int32_t> StatesSinceMark() const;
    void Mark() { m_mark = States().GetHistory().size(); }
    // Writes the last presented frame for people to look at.
    void SaveScreenshot(const std::string& name) const;

private:
    int32_t m_mark = 0;
};

#endif
