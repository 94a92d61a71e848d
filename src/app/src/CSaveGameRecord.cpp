#include "CSaveGameRecord.h"

#include "CInputStream.h"
#include "COutputStream.h"

void CSaveGameRecord::WriteData(COutputStream& out) const { out.WriteUInt32(m_value); }

void CSaveGameRecord::ReadData(CInputStream& in) { m_value = in.ReadUInt32(); }
