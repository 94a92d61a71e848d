#include "ResourceText.h"

#include "AppServices.h"
#include "CKeyset.h"
#include "CResource.h"
#include "CResourceManager.h"
#include "CStrWChar.h"
#include "ResIdArray.h"

#include <vector>

namespace {

// Members of this block of ids are left out of a group's list.
constexpr uint32_t kSkippedBlock = 0x2000000;
constexpr uint32_t kBlockMask = 0xFFFFF000;

}  // namespace

void GetResourceText(CStrWChar& out, uint32_t id) {
    out.Release();
    AppendResourceText(out, id);
}

void AppendResourceText(CStrWChar& out, uint32_t id) {
    CResourceManager* manager = GetAppResourceManager();
    CResource* resource = nullptr;
    if (manager == nullptr || manager->CreateByHandle(id, &resource) == 0 || resource == nullptr) return;
    const CStrWChar* text = dynamic_cast<const CStrWChar*>(resource->GetObject());
    if (text != nullptr) out.Append(text->GetBuffer());
    manager->ReleaseByHandle(id);
}

JString GetUpperText(int32_t id) {
    if (id <= 0 || id == kNoTextId) return JString();
    CStrWChar text;
    GetResourceText(text, static_cast<uint32_t>(id));
    if (text.GetLength() == 0) return JString();
    return JString(text.GetBuffer()).toUpperCase();
}

CResource* GetResource(int32_t id, CResource** out) {
    CResource* resource = nullptr;
    CResourceManager* manager = GetAppResourceManager();
    if (manager != nullptr) manager->CreateByHandle(static_cast<uint32_t>(id), &resource);
    if (out != nullptr) *out = resource;
    return resource;
}

ResIdArray* CollectResourceIds(int32_t groupId, CResource** outGroup) {
    CResource* group = GetResource(groupId, outGroup);
    const CKeyset* members = group != nullptr ? dynamic_cast<const CKeyset*>(group->GetObject()) : nullptr;
    if (members == nullptr) return nullptr;
    std::vector<uint32_t> kept;
    for (uint32_t i = 0; i < members->GetCount(); ++i) {
        const uint32_t id = members->Get(i);
        if ((id & kBlockMask) != kSkippedBlock) kept.push_back(id);
    }
    ResIdArray* list = new ResIdArray();
    if (list != nullptr && !list->set(kept.data(), static_cast<int32_t>(kept.size()))) {
        delete list;
        return nullptr;
    }
    return list;
}

JString& AppendWideText(JString& s, const WChar* text) {
    s += JString(text);
    return s;
}

void ConcatWideText(const JString& s, JString& out, const WChar* text) { out = s + JString(text); }
