// Each level rule the validator keeps, broken once in an otherwise good
// level made in memory: the level must be refused with the file and line
// that broke it.

#include "DialogueTable.h"
#include "GameLevelRules.h"
#include "LevelMapSource.h"
#include "LevelScriptSource.h"
#include "LevelValidator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr size_t kSpriteSets = 57;

const char* const kLegend =
    "type solid platform\n"
    "type platform passable platform\n"
    "type spikes passable deadly\n"
    "type wall platform ledge\n"
    "type beam passable\n"
    "type s5 passable\n"
    "type s6 passable\n"
    "type s7 passable\n"
    "type s8 passable\n"
    "type track passable\n"
    "cell .\n"
    "cell = collide=solid tile=0\n"
    "cell ~ collide=beam tile=6\n"
    "cell : collide=track tile=5\n";

// 20 x 14 tiles: ground on the last row, a door, its floor plate, a boss
// and its return point. Lines 1-7 declare them, `extraLines` follow, then
// the grid: its actor row is line 21 + the number of extra lines.
std::string GoodMap(const std::string& extraLines = "", const std::string& actorRow = "P.w.............D.B.",
                    int rows = 14) {
    std::string map =
        "template door type=27 sprite=27\n"
        "template plate type=28 sprite=28 range=8,8 data=@door,0\n"
        "template boss type=41 sprite=41 data=@door\n"
        "actor D door name=door\n"
        "actor w plate\n"
        "actor B boss name=boss\n"
        "start P formA\n" +
        extraLines + "grid\n";
    for (int row = 0; row < rows - 2; ++row) map += "....................\n";
    return map + actorRow + "\n====================\nend\n";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

const char* const kGoodScripts =
    "script 1 then=2\n"  // line 1
    "  say 0 hello\n"
    "  control on\n"
    "end\n"
    "script 2\n"  // line 5
    "  signal boss\n"
    "  wait_actor\n"
    "  complete\n"
    "end\n";

// The validator's verdict, or the first parse error.
std::string Verdict(const std::string& mapText, const std::string& scriptText) {
    SourceText legend;
    SourceText mapSource;
    SourceText scriptSource;
    SourceText dialogueSource;
    legend.SetText("common.map", kLegend);
    mapSource.SetText("level.map", mapText);
    scriptSource.SetText("level.scr", scriptText);
    dialogueSource.SetText("dialogue.txt", "hello 0x21FF0131\nbye 0x21FF014A\n");
    DialogueTable dialogue;
    CompiledLevel level;
    std::string error;
    LevelMapSource maps;
    if (!dialogue.Parse(dialogueSource, error) || !maps.Parse({&legend, &mapSource}, level.map, error)) return error;
    LevelScriptSource scripts(level.map, dialogue);
    if (!scripts.Parse(scriptSource, level.scripts, error)) return error;
    return LevelValidator::Check(level, kSpriteSets, error) ? std::string() : error;
}

TEST(LevelValidator, AcceptsTheGoodLevel) { EXPECT_EQ(Verdict(GoodMap(), kGoodScripts), ""); }

struct Broken {
    const char* rule;
    std::string map;
    std::string scripts;
    const char* where;    // file:line the error must name
    const char* message;  // part of the reason
};

TEST(LevelValidator, RefusesEachBrokenRuleWithItsPlace) {
    const std::string good = kGoodScripts;
    auto script = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::vector<Broken> cases = {
        {"solid ground is landable", GoodMap("type floor\n"), good, "level.map", "would fall through"},
        {"one start", GoodMap("", "..w.............D.B."), good, "level.map:", "no player start"},
        {"only one start", GoodMap("start Q formB\n", "PQw.............D.B."), good, "level.map:22",
         "second player start"},
        {"14 x 14 tiles", GoodMap("", "P.w.............D.B.", 13), good, "level.map", "at least 14 x 14"},
        {"spawnable type", GoodMap("template partner type=22 sprite=25 range=8,8\n"), good, "level.map:8", "cannot be spawned"},
        {"sprite set", GoodMap("template nothing type=25 sprite=0 range=8,8 data=0\n"), good, "level.map:8",
         "maps to no sprite set"},
        {"data the type reads", GoodMap("template part type=25 sprite=25 range=8,8\n"), good, "level.map:8",
         "exactly one data byte"},
        {"activation range", GoodMap("template far type=6 sprite=6 range=20,8\n"), good, "level.map:8",
         "at most 15 tiles"},
        {"range 0 only for types that stay", GoodMap("template everywhere type=6 sprite=6 range=0,8\n"), good,
         "level.map:8", "give type 6 a range"},
        {"switch names a door", GoodMap("template bad type=28 sprite=28 range=8,8 data=@boss,0\n"), good, "level.map:8",
         "must name a door"},
        {"hanging object under a beam", GoodMap("template lamp type=52 sprite=52 range=8,8\nactor h lamp\n", "P.h.............D.B."),
         good, "level.map:23", "code 4 above"},
        {"lift on track", GoodMap("template lift type=14 sprite=14 carrier range=8,8 data=0,1,1\nactor L lift\n",
                                  "P.L.............D.B."),
         good, "level.map:23", "on track"},
        {"a run-up before a mine", GoodMap("template flag type=21 sprite=21 range=8,8\n"
                                           "template mine type=6 sprite=6 range=8,8\nactor C flag\nactor m mine\n",
                                           "P.wC..m.........D.B."),
         good, "level.map:25", "a checkpoint stands 3 tiles before a hazard"},
        {"a run-up before spikes", GoodMap("cell ^ collide=spikes tile=0\n", "P.^w............D.B."), good,
         "level.map:22", "the player starts 2 tiles before a hazard"},
        {"script 1", GoodMap(), script("script 1 then=2", "script 3 then=2"), "level.scr", "no script 1"},
        {"unique ids", GoodMap(), script("script 2\n", "script 1\n"), "level.scr:5", "defined twice"},
        {"chained scripts exist", GoodMap(), script("then=2", "then=2,7"), "level.scr:1", "no script 7"},
        {"stopped scripts exist", GoodMap(), script("  complete\n", "  stop 9\n  complete\n"), "level.scr:8",
         "no script 9"},
        {"speakers", GoodMap(), script("say 0 hello", "say 11 hello"), "level.scr:2", "speakers are -1 to 10"},
        {"non-waiting commands last", GoodMap(), script("  say 0 hello\n", "  camera 3 3 speed=80 nowait\n  say 0 hello\n"),
         "level.scr:2", "last of its script"},
        {"loops wait", GoodMap(), good + "script 3 loop\n  flag 1\nend\n", "level.scr:10", "without ever waiting"},
        {"chains wait", GoodMap(), script("script 1 then=2", "script 1 then=2,3") + "script 3 then=4\n  flag 1\nend\n"
                                       "script 4 then=3\n  nothing\nend\n",
         "level.scr:10", "without ever waiting"},
        {"the level can end", GoodMap(), script("  complete\n", "  flag 1\n"), "level.scr", "completes the level"},
        {"a black start returns to play", GoodMap(), script("  say 0 hello", "  page -1 hello"), "level.scr",
         "substate 0"},
        {"walks with form A", Replaced(GoodMap(), "formA", "formB"),
         script("  say 0 hello", "  walk 4 12 right"), "level.scr:2", "never finishes a scripted walk"},
        {"one wait at a time", GoodMap(), script("script 1 then=2", "script 1 then=2,3") + "script 3\n  wait_actor\nend\n",
         "level.scr:11", "only one wait is held at a time"},
        {"one wait at a time down a chain", GoodMap(),
         script("script 1 then=2", "script 1 then=2,3") + "script 3 then=4\n  delay 10\nend\nscript 4\n  wait_actor\nend\n",
         "level.scr:14", "only one wait is held at a time"},
        {"signals to actors that answer", GoodMap(), script("signal boss", "signal door"), "level.scr:6",
         "ignores signals"},
        {"controls back at the end", GoodMap(), script("  control on\n", ""), "level.scr:2",
         "ends with the controls taken"},
        {"controls back before the player acts", GoodMap(), script("  control on\nend\n", "  reach 2 0 2 2\nend\n"),
         "level.scr:3", "no controls since the last message"},
        {"camera windows", GoodMap(), script("  complete\n", "  bounds 0 0 9 13\n  complete\n"), "level.scr:8",
         "at least 14 x 14"},
    };
    for (const Broken& broken : cases) {
        const std::string error = Verdict(broken.map, broken.scripts);
        EXPECT_EQ(error.rfind(broken.where, 0), 0u) << broken.rule << ": " << error;
        EXPECT_NE(error.find(broken.message), std::string::npos) << broken.rule << ": " << error;
    }
}

TEST(LevelValidator, WaitingForAnActorNeedsOneThatReleasesTheScript) {
    const std::string map = Replaced(GoodMap(), "type=41 sprite=41 data=@door", "type=1 sprite=1 range=8,8");
    const std::string error = Verdict(map, kGoodScripts);
    EXPECT_EQ(error.rfind("level.scr:7: script 2 waits for an actor", 0), 0u) << error;
    EXPECT_NE(error.find("releases a waiting script"), std::string::npos) << error;
    // A point the player touches calls the partner without telling the
    // script; only a scripted one releases it.
    auto withPoint = [](const std::string& data) {
        return Replaced(GoodMap("template point type=43 sprite=43 range=8,8 data=" + data + "\nactor o point\n",
                                "P.w.o...........D.B."),
                        "type=41 sprite=41 data=@door", "type=1 sprite=1 range=8,8");
    };
    EXPECT_EQ(Verdict(withPoint("0,0"), kGoodScripts).rfind("level.scr:7", 0), 0u);
    EXPECT_EQ(Verdict(withPoint("0"), kGoodScripts), "");
}

// An area of no size is met on its line; one that only touches the map's
// edge is left to the level.
TEST(LevelValidator, AcceptsReachAreasThatTouchTheMap) {
    for (const char* area : {"2 3 0 0", "-2 0 2 2", "20 0 2 2", "2 -2 2 2", "2 14 2 2"}) {
        const std::string scripts = Replaced(kGoodScripts, "  signal boss\n", "  reach " + std::string(area) +
                                                                               "\n  signal boss\n");
        EXPECT_EQ(Verdict(GoodMap(), scripts), "") << area;
    }
}

TEST(LevelValidator, SourceErrorsNameTheirLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {GoodMap("actor Z nowhere\n"), "level.map:8: no template nowhere"},
        {GoodMap("", "P.w.............D.B.x"), "level.map:21: every grid row"},
        {GoodMap("", "P.w.............D.?."), "level.map:21: no cell, actor or start is `?`"},
        {GoodMap("template odd type=41 sprite=41 data=@ghost\n"), "level.map:8: no actor is named ghost"},
    };
    for (const auto& broken : cases) {
        const std::string error = Verdict(broken.first, kGoodScripts);
        EXPECT_EQ(error.rfind(broken.second, 0), 0u) << error;
    }
    EXPECT_EQ(Verdict(GoodMap(), std::string(kGoodScripts) + "script 5\n  say 0 nobody\nend\n").rfind("level.scr:11: the "
                                                                                                     "dialogue table has "
                                                                                                     "no text nobody",
                                                                                                     0),
              0u);
    const std::vector<std::pair<std::string, std::string>> commands = {
        {"reach 2 0 -1 2", "`reach` needs an area of no negative width or height"},
        {"reach 2 0 2 -1", "`reach` needs an area of no negative width or height"},
        {"reach -3 0 2 2", "`reach`: the area lies wholly outside the map of 20 x 14 tiles"},
        {"reach 21 0 2 2", "`reach`: the area lies wholly outside the map of 20 x 14 tiles"},
        {"reach 2 -3 2 2", "`reach`: the area lies wholly outside the map of 20 x 14 tiles"},
        {"reach 2 15 2 2", "`reach`: the area lies wholly outside the map of 20 x 14 tiles"},
        {"near boss 0", "`near` needs a distance of at least 1 pixel"},
        {"near boss -48", "`near` needs a distance of at least 1 pixel"},
        {"reach 1366 0 2 2", "`reach`: tile 1366 is 32784 pixels"},
        {"camera 3 1365", "`camera`: tile 1365 is 32772 pixels"},
    };
    for (const auto& broken : commands) {
        const std::string error = Verdict(GoodMap(), std::string(kGoodScripts) + "script 5\n  " + broken.first + "\nend\n");
        EXPECT_EQ(error.rfind("level.scr:11: " + broken.second, 0), 0u) << error;
    }
    EXPECT_EQ(Verdict(GoodMap(), "script 1\n  signal ghost\nend\n").rfind("level.scr:2: the map names no actor ghost", 0),
              0u);
}

}  // namespace
