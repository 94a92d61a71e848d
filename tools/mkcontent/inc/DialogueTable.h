#ifndef DIALOGUETABLE_H
#define DIALOGUETABLE_H

#include "SourceText.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The dialogue key set: the texts the level scripts show, by name. Its
// source has one `NAME TEXT_ID` a line; a script names a text and gets its
// index in the key set.
class DialogueTable {
public:
    bool Parse(const SourceText& source, std::string& error);

    bool Empty() const { return m_texts.empty(); }
    // Index of the named text, -1 when there is none.
    int32_t IndexOf(const std::string& name) const;
    const std::vector<uint32_t>& Texts() const { return m_texts; }
    const std::vector<SourcePlace>& Places() const { return m_places; }

private:
    std::map<std::string, int32_t> m_index;
    std::vector<uint32_t> m_texts;
    std::vector<SourcePlace> m_places;
};

#endif
