#ifndef RESOURCETEXT_H
#define RESOURCETEXT_H

#include "EngineTypes.h"
#include "JString.h"

class CResource;
class CStrWChar;
class ResIdArray;

// The screens' ways into the archive: texts by id, resources and groups of
// resource ids.

// No text: ids of 0 or below and this one.
constexpr int32_t kNoTextId = 32767;

// Empties the string, then AppendResourceText.
void GetResourceText(CStrWChar& out, uint32_t id);
// Appends the text resource's characters; a missing text changes nothing.
void AppendResourceText(CStrWChar& out, uint32_t id);
// The text of the id in upper case, fetched anew every time; empty for no
// text and for an id that names none.
JString GetUpperText(int32_t id);
// The resource of the id with one more reference (null when there is
// none); `out` receives it too.
CResource* GetResource(int32_t id, CResource** out);
// The member ids of a group (a key set), without the members 0x2000000 to
// 0x2000FFF; null when the group is missing. The caller owns the list and
// releases the group through `outGroup`.
ResIdArray* CollectResourceIds(int32_t groupId, CResource** outGroup);
JString& AppendWideText(JString& s, const WChar* text);
void ConcatWideText(const JString& s, JString& out, const WChar* text);

#endif
