// A profile file as found beside the program: written by any version of it,
// edited by hand or cut short. Whatever loads must survive a save and load
// unchanged, and its macros must encode for the mouse.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "FuzzTarget.h"

#include "config/ProfileStore.h"
#include "mouse/MacroEncoding.h"

#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>

namespace {

ProfileStore scratchStore()
{
    ProfileStore store;
    store.fileName = kMouseProfileFileName;
    store.directory = fuzzScratchDirectory();
    return store;
}

std::string scratchFileBytes()
{
    std::ifstream in(fuzzScratchDirectory() / kMouseProfileFileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void checkEncodes(const RecordGroup& group)
{
    for (const MacroKeyMode mode : {MacroKeyMode::TranslateToUsage, MacroKeyMode::Untranslated}) {
        const macrokey_dat_t slot = encodeMacro(group, mode);
        fuzzRequire(slot.mode == static_cast<std::uint8_t>(group.repeat & 0xFF), "slot mode is the repeat's low byte");
        for (std::size_t i = 0; i < slot.items.size(); ++i) {
            const std::uint8_t count = slot.items[i].timing & kMacroDelayCountMask;
            if (i < group.items.size())
                fuzzRequire(count != 0, "a used item waits at least one step");
            else
                fuzzRequire(slot.items[i].key == 0 && slot.items[i].timing == 0, "unused items are zero");
        }
        static_cast<void>(buttonFunctionCode(group, mode));
    }
}

void checkSelections(const ProfileStore& store)
{
    if (const ProfileGroup* selected = selectedProfileGroup(store))
        fuzzRequire(selected >= store.groups.data() && selected < store.groups.data() + store.groups.size(),
                    "the selected profile is one of the store's");
    if (const MacroGroup* macro = currentMacroGroup(store)) {
        const auto& macros = store.groups.front().macros;
        fuzzRequire(macro >= macros.data() && macro < macros.data() + macros.size(),
                    "the current macro is one of the first profile's");
    }
}

} // namespace

FUZZ_TARGET(profile_file)
{
    writeScratchFile(fuzzScratchDirectory() / kMouseProfileFileName, fuzzText(data, size));
    ProfileStore loaded = scratchStore();
    const bool parsed = loadProfileStore(loaded, kMouseProfileFileName);
    fuzzRequire(parsed != loaded.keepUnreadableFile, "exactly the files that do not parse are kept aside");
    if (!parsed) {
        fuzzRequire(loaded.groups.empty(), "an unreadable file adds no profile");
        return;
    }
    checkSelections(loaded);
    for (const ProfileGroup& group : loaded.groups) {
        for (const RecordGroup& record : group.records)
            checkEncodes(record);
        for (const MacroGroup& macro : group.macros)
            checkEncodes(RecordGroup{0, 0, group.param.repeat, macro.name, {}, macro.items});
    }

    fuzzRequire(saveProfileStore(loaded), "a loaded store can be saved");
    const std::string saved = scratchFileBytes();
    ProfileStore reloaded = scratchStore();
    fuzzRequire(loadProfileStore(reloaded, kMouseProfileFileName), "a saved file loads");
    fuzzRequire(reloaded.sel == loaded.sel, "the selection survives a save");
    fuzzRequire(reloaded.groups == loaded.groups, "every profile survives a save unchanged");

    fuzzRequire(saveProfileStore(reloaded), "a reloaded store can be saved");
    fuzzRequire(scratchFileBytes() == saved, "saving what was loaded from a saved file changes nothing");
}
