#include "CAppletBase.h"

namespace {
CAppletBase* g_applet = nullptr;
}

CAppletBase::CAppletBase(HINSTANCE instance) : m_instance(instance) { g_applet = this; }

CAppletBase::~CAppletBase() {
    if (g_applet == this) g_applet = nullptr;
}

CAppletBase* CAppletBase::GetCurrent() { return g_applet; }
