#include "AppServices.h"

#include "CMediaPlayer_Win32.h"
#include "ServiceGetter.h"

// Apart from the other getters so that a program that never plays sound
// does not link the media player.
ICMediaPlayer* GetMediaPlayer() {
    return FindOrCreateService<ICMediaPlayer, CMediaPlayer_Win32>();
}
