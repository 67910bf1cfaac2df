#include "uhid-mouse/control_command.h"

#include "device/emulated/firmware_state.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

namespace zorvan {
namespace {

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(" \t\r\n", at);
        if (start == std::string_view::npos)
            break;
        const size_t end = std::min(line.find_first_of(" \t\r\n", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

std::optional<int> Number(std::string_view word, int low, int high)
{
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<ControlCommand> ParseControlLine(std::string_view line)
{
    const std::vector<std::string_view> words = Words(line);
    if (words.empty())
        return std::nullopt;
    const std::string_view verb = words[0];
    const size_t count = words.size();
    ControlCommand command;
    if (verb == "unplug" && count == 1) {
        command.kind = ControlCommand::Kind::kUnplug;
    } else if (verb == "plug" && count == 1) {
        command.kind = ControlCommand::Kind::kPlug;
    } else if (verb == "save" && count == 1) {
        command.kind = ControlCommand::Kind::kSave;
    } else if (verb == "unplug-at" && count == 2) {
        const auto n = Number(words[1], 1, 1000000);
        if (!n)
            return std::nullopt;
        command.kind = ControlCommand::Kind::kUnplugAt;
        command.number = *n;
    } else if (verb == "press" && count == 2) {
        const auto button = MouseButtonByName(words[1]);
        if (!button)
            return std::nullopt;
        command.kind = ControlCommand::Kind::kPress;
        command.button = *button;
    } else if (verb == "battery" && (count == 2 || (count == 3 && words[2] == "--charging"))) {
        const auto percent = Number(words[1], 0, 100);
        if (!percent)
            return std::nullopt;
        command.kind = ControlCommand::Kind::kBattery;
        command.number = *percent;
        command.charging = count == 3;
    } else {
        return std::nullopt;
    }
    return command;
}

bool RunControlCommand(const ControlCommand& command, MouseFirmware& firmware, const QString& stateFile,
                       QString* error)
{
    switch (command.kind) {
    case ControlCommand::Kind::kUnplug:
        firmware.SetPlugged(false);
        return true;
    case ControlCommand::Kind::kPlug:
        firmware.SetPlugged(true);
        return true;
    case ControlCommand::Kind::kUnplugAt:
        firmware.UnplugAtRequest(command.number);
        return true;
    case ControlCommand::Kind::kPress:
        firmware.Press(command.button);
        return true;
    case ControlCommand::Kind::kBattery:
        firmware.SetBattery(command.number, command.charging);
        return true;
    case ControlCommand::Kind::kSave:
        if (stateFile.isEmpty()) {
            if (error)
                *error = QStringLiteral("no state file was named (--state FILE)");
            return false;
        }
        return SaveFirmwareStateFile(stateFile, firmware.State(), error);
    }
    return false;
}

}  // namespace zorvan
