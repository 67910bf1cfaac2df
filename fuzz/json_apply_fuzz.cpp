// zorvanctl apply's reader over arbitrary documents, and the changes it derives: a document
// either is refused with a message naming what is wrong, or yields changes that, made on a copy
// by the editing rules, give the profile the document describes or a message naming the field.
//
// Input: a model selector byte, then the document.
#include "fuzz_world.h"

#include "app/configuration.h"
#include "cli/json_apply.h"
#include "profile/profile_state.h"

namespace {

using namespace zorvan;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    fuzz::SetUpWorld();
    fuzz::UseModel(data[0]);
    fuzz::ResetSessionProfiles();
    fuzz::ResetLibrary();
    const QByteArray json(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const ProfileRecord current = *CurrentProfileCopy();
    const int level = 0;

    QString error;
    const std::optional<cli::ProfileDocument> document = cli::ReadProfileDocument(json, current, level, error);
    fuzz::Expect(document.has_value() == error.isEmpty(), "a document refused without a message");
    if (!document)
        return 0;
    const cli::ApplyRules rules{*CurrentDevice(), Options(), Config().sensors, Config().defaultKeys, false};
    const std::optional<std::vector<cli::DocumentChange>> changes =
        cli::ChangesToDocument(current, level, *document, rules, error);
    fuzz::Expect(changes.has_value() == error.isEmpty(), "changes refused without a message");
    if (!changes)
        return 0;
    // Whatever the verdict, the changes made on the copy keep the record's accessors in range.
    const QString problem = cli::TryChanges(current, level, *changes, *document);
    if (problem.isEmpty()) {
        ProfileRecord p = current;
        int l = level;
        for (const cli::DocumentChange& change : *changes)
            fuzz::Expect(change.edit(p, l).IsChanged(), "a change that passed the trial was refused");
    }
    return 0;
}
