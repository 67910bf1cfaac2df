#pragma once
// Arguments checked against the model before the mouse's profile is read: the editing rules
// run on the model's own profile (ModelProfile), so the one place of each rule also says which
// values a model offers. A refusal there holds for every profile of the model: a usage error.
#include "cli/cli.h"

#include "app/device_description.h"
#include "profile/profile_edits.h"
#include "profile/profile_record.h"

#include <functional>
#include <vector>

namespace zorvan::cli {

// What a check of the arguments against a model says: kOk, or kUsage / kFailed with the line
// to print.
struct ModelVerdict {
    int exitCode = kOk;
    QString message;

    static ModelVerdict Usage(QString text) { return {kUsage, std::move(text)}; }
    static ModelVerdict Failed(QString text) { return {kFailed, std::move(text)}; }
    bool Ok() const { return exitCode == kOk; }
    friend bool operator==(const ModelVerdict&, const ModelVerdict&) = default;
};

// The model's default profile with every DPI level of the model in use and separate X/Y on
// when the model offers it: what the model allows at most.
ProfileRecord ModelProfile(const DeviceDescription& device);

// Runs `edit` on ModelProfile(device): OK when it would change the profile, else a usage error
// with the rule's message and `allowed` (what the model offers).
ModelVerdict CheckForModel(const DeviceDescription& device, const std::function<Edit(ProfileRecord&)>& edit,
                           const QString& allowed = {});

// The lighting zones of `light` and their effects, named in the chosen language.
enum class LightZone { kMain, kLogo, kDpi };
std::optional<LightZone> ParseZone(const QString& word);
// The effect's name in the chosen language ("Breathing"), or "effect N" without a text.
QString EffectName(LightZone zone, int mode);
// The effects the model offers in the zone (by the editing rules), "off" (0) last.
std::vector<int> OfferedEffects(LightZone zone, const DeviceDescription& device);
// "1 Static, 2 Breathing, …, 0 Off": the offered effects by number and name.
QString EffectList(LightZone zone, const DeviceDescription& device);
// Every effect a zone can have, whatever the model: "0 Off, 1 …".
QString EffectNames(LightZone zone);
// MODE as a number, "off", or an effect name of the zone (any case; spaces may be written "-").
std::optional<int> ParseEffect(LightZone zone, const QString& word);
// The zone's edit of `change` by the lighting page's rules.
Edit EditZone(LightZone zone, ProfileRecord& profile, const LightChange& change, const DeviceDescription& device);

}  // namespace zorvan::cli
