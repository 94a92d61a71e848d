#ifndef KEYMAPPINGTABLES_H
#define KEYMAPPINGTABLES_H

#include <cstdint>

// Two ready tables that bind engine keys to game messages through the key
// mappings of the application's two key-mapping registries: the first
// (directions, select, back and the keypad's 2, 4, 5, 6, 8; with its soft
// keys apart) and the second (every key the game's menus know). The soft
// keys swap when the property "Kiv-Softkey-Reverse" is true. Nothing in the
// game installs them; they stand ready.
class KeyMappingTables {
public:
    KeyMappingTables() = delete;

    static bool InstallFirst();
    static bool InstallFirstSoftKeys();
    static bool InstallSecond();
    static void RemoveFirst();
    static void RemoveFirstSoftKeys();
    static void RemoveSecond();

    // Messages of the first table's soft keys.
    static constexpr uint32_t kLeftSoftMessage = 0x5F61A84A;
    static constexpr uint32_t kRightSoftMessage = 0xD45F52DE;
};

#endif
