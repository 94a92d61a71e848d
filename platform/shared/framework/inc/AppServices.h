#ifndef APPSERVICES_H
#define APPSERVICES_H

class ICFileMgr;
class ICMediaPlayer;

// The application's service getters that the engine's own code calls. Each
// finds the service's singleton by its class key and creates the platform's
// implementation when none is registered yet. They answer null while there
// is no singleton table (no application) or when memory is exhausted.

ICFileMgr* GetFileMgr();
ICMediaPlayer* GetMediaPlayer();

#endif
