#ifndef CRENDERSURFACEWATCHER_H
#define CRENDERSURFACEWATCHER_H

class CRenderSurface;

// Whoever keeps a surface's plane memory reachable elsewhere (a renderer
// mapping it into its guest address space) and must let go of it before
// anything can reach it freed. A watcher stays registered until it takes
// itself off, and takes itself off before it goes; a surface that goes first
// tells the watchers still registered.
class CRenderSurfaceWatcher {
public:
    // The surface let go of planes or made them anew: their old pixels are
    // freed once every watcher has been told. Called once the change is
    // whole, before the surface's caller goes on; the planes the surface
    // has now are the ones to keep. A watcher may delete the surface while
    // it is told: the watchers after it are then told that it ends instead.
    virtual void PlanesChanged(CRenderSurface& surface) = 0;
    // The surface is being destroyed: it answers no planes any more, and
    // those it had go once every watcher has been told (the destruction
    // tells no change for them, only this); nothing may reach the surface
    // once this returns, it is being deleted already. A watcher that keeps
    // nothing of the surface itself past its planes' changes need not hear
    // of it.
    virtual void SurfaceEnding(CRenderSurface&) {}

protected:
    ~CRenderSurfaceWatcher() = default;
};

#endif
