#ifndef ORDINARYFILEACCESS_H
#define ORDINARYFILEACCESS_H

// For as long as it lives, the calling thread's file accesses are checked as
// those of an ordinary user (nobody), so that a test of a refused
// permission holds when the superuser runs it too, whom the host would let
// in everywhere. For an ordinary user nothing changes. Only this thread's
// file-system identity changes: other threads go on as before.
class OrdinaryFileAccess {
public:
    OrdinaryFileAccess();
    ~OrdinaryFileAccess();

    OrdinaryFileAccess(const OrdinaryFileAccess&) = delete;
    OrdinaryFileAccess& operator=(const OrdinaryFileAccess&) = delete;

private:
    unsigned m_previousUser;
};

#endif
