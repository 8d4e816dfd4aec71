// A macro-group file the user imports into the macro editor: from another
// machine, another version, or not a macro file at all. What reads must
// join the library under names of its own and survive an export unchanged.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "FuzzTarget.h"

#include "ui/MacroFile.h"

#include <set>
#include <string>
#include <vector>

FUZZ_TARGET(macro_import)
{
    const std::filesystem::path file = fuzzScratchDirectory() / "import.xml";
    writeScratchFile(file, fuzzText(data, size));
    std::vector<MacroGroup> imported{MacroGroup{L"untouched", {}}};
    const MacroFileResult result = readMacroFile(file, imported);
    if (result != MacroFileResult::Ok) {
        fuzzRequire(imported.size() == 1 && imported.front().name == L"untouched",
                    "a file that is not read leaves the groups alone");
        return;
    }

    std::vector<MacroGroup> library{MacroGroup{L"mine", {}}, MacroGroup{L"mine (2)", {}}};
    appendImportedGroups(library, imported);
    fuzzRequire(library.size() == 2 + imported.size(), "every imported group joins the library");
    std::set<std::wstring> names;
    for (const MacroGroup& group : library)
        names.insert(group.name);
    fuzzRequire(names.size() == library.size(), "no two groups of the library share a name");
    for (std::size_t i = 0; i < imported.size(); ++i)
        fuzzRequire(library[2 + i].items == imported[i].items, "imported steps are kept as read");

    const std::filesystem::path exported = fuzzScratchDirectory() / "export.xml";
    fuzzRequire(writeMacroFile(exported, imported), "imported groups can be exported");
    std::vector<MacroGroup> again;
    fuzzRequire(readMacroFile(exported, again) == MacroFileResult::Ok, "an exported file reads");
    fuzzRequire(again == imported, "groups survive an export and import unchanged");
}
