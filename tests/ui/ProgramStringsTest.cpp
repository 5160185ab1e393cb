// The program's string tables as built from the catalogues: every string the program
// asks for exists, translated, in every language of its set.
#include "ResourceLanguages.h"
#include "StringResourceReader.h"

#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>
#include <vector>

namespace {

// Tooltips (string id = control id) of the panel, the hotkey dialog and the popups,
// the hotkey failure caption and messages, the update balloon and the two labels of menu
// item 138.
const std::vector<unsigned> kProgramStringIds = {1,    2,    1000, 1002, 1004, 1005, 1006, 1007, 1012, 1013,
                                                 1027, 1028, 1029, 1031, 1041, 1047, 1048, 1049, 1051, 1052,
                                                 1053, 1058, 1059, 1062, 1072, 1073, 1074, 1075, 1076};
// The update component's messages, its progress caption, and the name of the language
// list's first entry.
const std::vector<unsigned> kUpdateStringIds = {10007, 10009, 10011, 10012, 10013, 10245};

// Whole sentences never read the same in two languages; a copy of the English text is
// an untranslated string.
const std::set<unsigned> kSentences = {1012, 1051, 1062, 1072, 1073, 1074, 1075, 1076, 10007, 10011};

TEST(ProgramStrings, EveryIdExistsTranslatedInEveryLanguageOfItsSet) {
    const std::pair<const std::vector<unsigned>&, std::span<const uint16_t>> sets[] = {
        {kProgramStringIds, kProgramLanguages}, {kUpdateStringIds, kUpdateLanguages}};
    for (const auto& [ids, languages] : sets) {
        for (const unsigned id : ids) {
            const auto english = StoredText(id, kEnglish);
            for (const uint16_t language : languages) {
                const auto text = StoredText(id, language);
                EXPECT_TRUE(text && !text->empty()) << "string " << id << " in language " << language;
                if (language != kEnglish && kSentences.contains(id)) {
                    EXPECT_NE(text, english) << "string " << id << " in language " << language;
                }
            }
        }
    }
}

} // namespace
