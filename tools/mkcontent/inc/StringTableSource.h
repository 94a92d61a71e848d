#ifndef STRINGTABLESOURCE_H
#define STRINGTABLESOURCE_H

#include "ContentEntry.h"
#include "SourceText.h"

#include <string>
#include <vector>

// The texts of one language, UTF-8, one text a line:
//
//   0x21FF017E  Play                   text id, then the text to the line end
//     more words                       a line starting with a space or tab
//                                      continues the text after one space
//                                      (none after a line break)
//   # comment                          (only as a line of its own: texts may
//                                      hold '#')
//
// In a text, `\n` is a line break and `\\` a backslash; '|' splits a message
// box's title from its body.
class StringTableSource {
public:
    bool Parse(const SourceText& source, std::vector<ContentEntry>& texts, std::string& error);

    // The string table's pack block: every text as a UTF-8 member under the
    // low 15 bits of its id, with its type word.
    static bool BuildPack(const std::vector<ContentEntry>& texts, bool deflate, std::vector<uint8_t>& block,
                          std::string& error);

private:
    static bool Unescape(const std::string& text, const SourcePlace& place, std::string& out, std::string& error);
};

#endif
