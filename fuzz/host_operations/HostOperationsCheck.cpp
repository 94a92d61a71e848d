// Lists every public operation of the headers given (see PublicOperations
// for what counts) and fails unless each is driven by the fuzz target whose
// source is given first (called there) or named in its table of what it
// does not drive, with why (NotDrivenList). An entry Scope::* names every
// operation of a class or namespace, nested ones too, that no host uses (the renderer's own
// stages, whose headers its tests include). It fails too on an entry of the
// table that names no public operation, or one that is driven.
//
// Called is judged by name, as a reader of the source would: a member's
// name called through an object, a pointer or a scope (x.F(, p->F(,
// C::F(), a free function's name called, a class's name constructed
// (C(, C{, make_unique<C>, a C variable declared). Overloads, and members
// of other classes of the same name, are not told apart.
//   mgl_host_operations <fuzz target source> <header>...

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "CppTokens.h"
#include "NotDrivenList.h"
#include "PublicOperations.h"

namespace {

std::string ReadFile(const char* path, bool& ok) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    ok = static_cast<bool>(file);
    return text.str();
}

// The names the source calls, as members and plainly, and constructs.
struct Calls {
    std::set<std::string> members;
    std::set<std::string> plain;
    std::set<std::string> constructed;

    explicit Calls(const CppTokens& tokens) {
        const std::vector<std::string>& t = tokens.All();
        for (size_t i = 0; i + 1 < t.size(); ++i) {
            if (!CppTokens::IsIdentifier(t[i])) continue;
            const std::string& next = t[i + 1];
            const std::string& before = i > 0 ? t[i - 1] : t[i];
            const bool called = next == "(" || next == "<";
            const bool member = before == "." || before == "->" || before == "::";
            if (called) (member ? members : plain).insert(t[i]);
            if (called || next == "{" || next == ">" || CppTokens::IsIdentifier(next)) constructed.insert(t[i]);
        }
    }

    // `operation` is Scope::Name, or Name alone for a free function.
    bool Drive(const std::string& operation) const {
        const size_t last = operation.rfind("::");
        const std::string name = last == std::string::npos ? operation : operation.substr(last + 2);
        if (last == std::string::npos) return plain.count(name) != 0;
        const std::string scope = operation.substr(0, last);
        const size_t outer = scope.rfind("::");
        const std::string owner = outer == std::string::npos ? scope : scope.substr(outer + 2);
        if (name == owner) return constructed.count(name) != 0;
        return members.count(name) != 0 || plain.count(name) != 0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <fuzz target source> <header>...\n", argv[0]);
        return 2;
    }
    bool ok = true;
    const std::string source = ReadFile(argv[1], ok);
    std::map<std::string, std::string> operations;  // name to header
    for (int i = 2; i < argc && ok; ++i) {
        const PublicOperations found(CppTokens(ReadFile(argv[i], ok)));
        for (const std::string& name : found.Names()) operations.emplace(name, argv[i]);
    }
    if (!ok) {
        std::fprintf(stderr, "cannot read every file named\n");
        return 2;
    }
    const Calls calls{CppTokens(source)};
    const NotDrivenList list(source);
    int failures = 0;
    auto fail = [&failures](const std::string& what) {
        std::printf("FAIL %s\n", what.c_str());
        ++failures;
    };
    if (!list.Found()) fail(std::string("no table opened by \"") + NotDrivenList::kOpening + "\" in " + argv[1]);
    for (const std::string& fault : list.Faults()) fail("table: " + fault);
    std::set<std::string> wildcardsUsed;
    for (const auto& [name, header] : operations) {
        const bool driven = calls.Drive(name);
        auto entry = list.Entries().find(name);
        for (size_t scope = name.find("::"); entry == list.Entries().end() && !driven && scope != std::string::npos;
             scope = name.find("::", scope + 2)) {
            const std::string wildcard = name.substr(0, scope + 2) + "*";
            entry = list.Entries().find(wildcard);
            if (entry != list.Entries().end()) wildcardsUsed.insert(wildcard);
        }
        const bool named = entry != list.Entries().end();
        if (driven && named) fail(name + " is driven but named as not driven");
        if (!driven && !named) fail(name + " (" + header + ") is neither driven nor named with a reason");
        if (driven && !named) std::printf("driven  %s\n", name.c_str());
        if (!driven && named) std::printf("named   %s: %s\n", name.c_str(), entry->second.c_str());
    }
    for (const auto& [name, reason] : list.Entries()) {
        if (operations.count(name) == 0 && wildcardsUsed.count(name) == 0) {
            fail("table: " + name + " names no public operation of the headers that is not driven");
        }
    }
    std::printf("%zu public operations, %d failures\n", operations.size(), failures);
    return failures == 0 ? 0 : 1;
}
