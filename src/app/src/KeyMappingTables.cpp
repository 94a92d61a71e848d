#include "KeyMappingTables.h"

#include "AppServices.h"
#include "CAppProperties.h"
#include "CGameApp.h"
#include "CKeyInputMapping.h"

namespace {

constexpr char kSoftkeyReverseProperty[] = "Kiv-Softkey-Reverse";
constexpr uint8_t kPress = CKeyInputMapping::kPostOnPress;
constexpr uint8_t kPressRepeat = CKeyInputMapping::kPostOnPress | CKeyInputMapping::kRepeatWhileHeld;
constexpr int32_t kRepeatMs = 500;
constexpr uint32_t kLeftSoftKey = 15;
constexpr uint32_t kRightSoftKey = 16;

struct Row {
    uint32_t message;
    uint32_t key;
    uint8_t flags;
    int32_t delayMs;
    int32_t intervalMs;
};

constexpr Row kFirstTable[] = {
    {0x3F972120, 4, kPressRepeat, kRepeatMs, kRepeatMs},  {0x972028C1, 5, kPressRepeat, kRepeatMs, kRepeatMs},
    {0x9720A3CB, 6, kPressRepeat, kRepeatMs, kRepeatMs},  {0x7214FF0D, 7, kPressRepeat, kRepeatMs, kRepeatMs},
    {0x2074D009, 11, kPress, 0, 0},                       {0x97204784, 12, kPress, 0, 0},
    {0x3F972120, '2', kPressRepeat, kRepeatMs, kRepeatMs}, {0x972028C1, '8', kPressRepeat, kRepeatMs, kRepeatMs},
    {0x9720A3CB, '4', kPressRepeat, kRepeatMs, kRepeatMs}, {0x7214FF0D, '6', kPressRepeat, kRepeatMs, kRepeatMs},
    {0x2074D009, '5', kPress, 0, 0},
};

// The second table's back message also takes the right soft key (the left
// one when the soft keys are reversed); it is added apart.
constexpr uint32_t kSecondBackMessage = 0x71FF1054;
constexpr Row kSecondTable[] = {
    {0x20174FB7, 4, kPressRepeat, 0, 0},   {0x172EBF3E, 5, kPressRepeat, 0, 0},   {0x172E3434, 6, kPressRepeat, 0, 0},
    {0x71FD83F5, 7, kPressRepeat, 0, 0},   {0x172E9965, 11, kPress, 0, 0},        {0x172E9965, 13, kPress, 0, 0},
    {0x172E9965, 14, kPress, 0, 0},        {0x172E9965, '5', kPress, 0, 0},       {0x172EC5FA, '0', kPress, 0, 0},
    {kSecondBackMessage, 12, kPress, 0, 0}, {0x0173EAF6, '*', kPress, 0, 0},      {0xBD152E06, '1', kPressRepeat, 0, 0},
    {0x152F0CA3, '2', kPressRepeat, 0, 0}, {0xD0467C9B, '3', kPress, 0, 0},       {0x490287B4, '4', kPressRepeat, 0, 0},
    {0x9036ABF0, '6', kPressRepeat, 0, 0}, {0xBD152F06, '7', kPressRepeat, 0, 0}, {0x152E0CA3, '8', kPressRepeat, 0, 0},
    {0x016703B6, '9', kPressRepeat, 0, 0}, {0xFE50251E, '1', kPress, 0, 0},       {0xFE50251D, '2', kPress, 0, 0},
    {0xFE50251C, '3', kPress, 0, 0},       {0xFE50251B, '4', kPress, 0, 0},
};

bool SoftKeysReversed() {
    const CAppProperties* properties = GetPropertyTable();
    return properties != nullptr && properties->GetBool(kSoftkeyReverseProperty);
}

bool Add(uint32_t registry, const Row& row) {
    return CKeyInputMapping::AddMapping(registry, row.message, row.key, row.flags, row.delayMs, row.intervalMs, true);
}

template <size_t N>
bool AddAll(uint32_t registry, const Row (&rows)[N]) {
    bool added = true;
    for (const Row& row : rows) added = Add(registry, row) && added;
    return added;
}

}  // namespace

bool KeyMappingTables::InstallFirst() { return AddAll(CGameApp::kKeyMappingRegistryA, kFirstTable); }

bool KeyMappingTables::InstallFirstSoftKeys() {
    const bool reversed = SoftKeysReversed();
    const Row left = {reversed ? kRightSoftMessage : kLeftSoftMessage, kLeftSoftKey, kPress, 0, 0};
    const Row right = {reversed ? kLeftSoftMessage : kRightSoftMessage, kRightSoftKey, kPress, 0, 0};
    const bool leftAdded = Add(CGameApp::kKeyMappingRegistryA, left);
    return Add(CGameApp::kKeyMappingRegistryA, right) && leftAdded;
}

bool KeyMappingTables::InstallSecond() {
    const Row softBack = {kSecondBackMessage, SoftKeysReversed() ? kLeftSoftKey : kRightSoftKey, kPress, 0, 0};
    const bool added = AddAll(CGameApp::kKeyMappingRegistryB, kSecondTable);
    return Add(CGameApp::kKeyMappingRegistryB, softBack) && added;
}

void KeyMappingTables::RemoveFirst() {
    for (const Row& row : kFirstTable) CKeyInputMapping::RemoveMapping(CGameApp::kKeyMappingRegistryA, row.message, 0);
}

void KeyMappingTables::RemoveFirstSoftKeys() {
    CKeyInputMapping::RemoveMapping(CGameApp::kKeyMappingRegistryA, kLeftSoftMessage, 0);
    CKeyInputMapping::RemoveMapping(CGameApp::kKeyMappingRegistryA, kRightSoftMessage, 0);
}

void KeyMappingTables::RemoveSecond() { CKeyInputMapping::RemoveAllMappings(CGameApp::kKeyMappingRegistryB); }
