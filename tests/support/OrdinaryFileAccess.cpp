#include "OrdinaryFileAccess.h"

#include <sys/fsuid.h>
#include <unistd.h>

namespace {
constexpr unsigned kNobody = 65534;
}

// Leaving the superuser's file-system identity also drops its power to
// read, write and search past permissions; coming back restores it.
OrdinaryFileAccess::OrdinaryFileAccess()
    : m_previousUser(static_cast<unsigned>(setfsuid(geteuid() == 0 ? kNobody : geteuid()))) {}

OrdinaryFileAccess::~OrdinaryFileAccess() { setfsuid(m_previousUser); }
