// The properties parser on arbitrary bytes. The table must hold only what
// it can answer consistently: every stored key is found again, and the
// getters agree with one another.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "CAppProperties.h"
#include "CArrayInputStream.h"
#include "CHash.h"
#include "FuzzCheck.h"

namespace {

const char* const kNames[] = {"MIDlet-Version",
                              "Kiv-Locale",
                              "Kiv-Game",
                              "Kiv-Softkey-Reverse",
                              "Kiv-Cheats-Enable",
                              "Kiv-Test-Localisation",
                              "a",
                              "key",
                              ""};

void CheckGetters(const CAppProperties& properties) {
    for (const char* name : kNames) {
        const char* value = properties.GetString(name);
        Check((value != nullptr) == properties.HasKey(name));
        if (value == nullptr) {
            Check(properties.GetInt(name) == 0 && !properties.GetBool(name));
            continue;
        }
        // Stored values are trimmed and never empty.
        const size_t length = std::strlen(value);
        Check(length > 0 && value[0] != ' ' && value[length - 1] != ' ' && value[length - 1] != '\r');
        properties.GetInt(name);
        properties.GetBool(name);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CHash table;
    Check(table.Init(20, 20, true));
    CSingleton::SetTable(&table);
    {
        CAppProperties properties;
        CArrayInputStream stream;
        Check(stream.Open(data, static_cast<uint32_t>(size)));
        properties.Load(stream);
        Check(!stream.HasError() && stream.Available() == 0);
        CheckGetters(properties);
        // Loading the same bytes again gives the same table.
        Check(stream.Open(data, static_cast<uint32_t>(size)));
        properties.Load(stream);
        CheckGetters(properties);
    }
    CSingleton::SetTable(nullptr);
    return 0;
}
