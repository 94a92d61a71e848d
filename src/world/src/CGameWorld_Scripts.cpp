#include "CGameWorld.h"
#include "CScriptCommand.h"

void CGameWorld::ReleaseWaitingCommand() {
    if (waitingCommand == nullptr) return;
    waitingCommand->done = CScriptCommand::kDone;
    waitingCommand = nullptr;
}
