#ifndef APPSERVICES_H
#define APPSERVICES_H

#include <cstdint>

class CAppProperties;
class CCrc32;
class CFontMgr;
class CGameData;
class CGameSettings;
class CGraphics;
class CGraphics2d_Lite;
class CRandGen;
class CResourceManager;
class ICFileMgr;
class ICMediaPlayer;
class SK_Home;

// The application's service getters that the engine's own code calls. Each
// finds the service's singleton by its class key and creates the service
// when none is registered yet (its constructor registers it). They answer
// null while there is no singleton table (no application) or when memory is
// exhausted. A test provides its own service by registering a singleton of
// the class key before the first call.

ICFileMgr* GetFileMgr();
ICMediaPlayer* GetMediaPlayer();
// The platform graphics device and the 2D renderer.
CGraphics* GetGraphics();
CGraphics2d_Lite* GetGraphics2d();
CRandGen* GetRandom();
CCrc32* GetCrc32();
CAppProperties* GetPropertyTable();
CGameData* GetGameData();
// The game application's own singletons, served by the game application.
CGameSettings* GetGameSettings();
CFontMgr* GetFontMgr();
// The sprite module's home, served by the sprite module.
SK_Home* GetSpriteHome();

// The application's resource manager; null without an application.
CResourceManager* GetAppResourceManager();

// The size of the graphics device's current surface; 0 when there is no
// device or no current surface.
int32_t GetScreenWidth();
int32_t GetScreenHeight();

#endif
