#include "state_json.h"

#include "download_commands.h"
#include "json_writer.h"
#include "logo_output.h"
#include "settings_json.h"

#include <cstdio>

namespace pst::sim {
namespace {

std::string hexCommand(std::uint16_t command)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(command));
    return text;
}

void writeFrame(JsonWriter& json, const ReceivedFrame& frame)
{
    json.beginObject()
        .key("command")
        .string(hexCommand(frame.command))
        .key("arg1")
        .number(static_cast<unsigned long long>(frame.arg1))
        .key("arg2")
        .number(static_cast<unsigned long long>(frame.arg2))
        .key("length")
        .number(static_cast<unsigned long long>(frame.payload.size()))
        .key("payload")
        .string(hexBytes(frame.payload))
        .endObject();
}

}  // namespace

std::string stateToJson(const PrinterState& state)
{
    JsonWriter json;
    json.beginObject()
        .key("model")
        .string(state.model)
        .key("device")
        .string(state.device)
        .key("startSpeed")
        .number(static_cast<unsigned long long>(state.startSpeed))
        .key("speed")
        .number(static_cast<unsigned long long>(state.speed))
        .key("framesReceived")
        .number(static_cast<unsigned long long>(state.framesReceived))
        .key("badFrames")
        .number(static_cast<unsigned long long>(state.badFrames))
        .key("ignoredBytes")
        .number(static_cast<unsigned long long>(state.ignoredBytes))
        .key("skippedBytes")
        .number(static_cast<unsigned long long>(state.skippedBytes))
        .key("repliesSent")
        .number(static_cast<unsigned long long>(state.repliesSent))
        .key("fault")
        .string(faultModeName(state.fault.mode))
        .key("faultRemaining")
        .number(static_cast<long long>(state.fault.count))
        .key("rawCommandsReceived")
        .number(static_cast<unsigned long long>(state.rawCommandsReceived))
        .key("settings");
    writeSettingsJson(json, state.settings);
    json.key("printed");
    writePrintedJson(json, state.printed);
    json.key("program")
        .beginObject()
        .key("size")
        .number(static_cast<unsigned long long>(state.program.image.size()))
        .key("checksum")
        .number(static_cast<unsigned long long>(programChecksum(state.program.image)))
        .key("downloading")
        .boolean(state.program.downloading)
        .key("updates")
        .number(static_cast<unsigned long long>(state.program.updates))
        .endObject();
    json.key("flashRegions").beginArray();
    for (const auto& [start, end] : state.flash.regions())
        json.beginObject()
            .key("start")
            .number(static_cast<unsigned long long>(start))
            .key("end")
            .number(static_cast<unsigned long long>(end))
            .endObject();
    json.endArray();
    json.key("logosStored").number(static_cast<unsigned long long>(storedLogoCount(state.flash)));
    json.key("bootLoader")
        .beginObject()
        .key("active")
        .boolean(state.loader.active)
        .key("probesAnswered")
        .number(static_cast<unsigned long long>(state.loader.probesAnswered))
        .key("firmwareSize")
        .number(static_cast<unsigned long long>(state.loader.announcedSize))
        .key("firmwareBytes")
        .number(static_cast<unsigned long long>(state.loader.firmwareBytes))
        .key("streamsTaken")
        .number(static_cast<unsigned long long>(state.loader.streamsTaken))
        .endObject();
    json.key("rawReceived");
    writeRawReceivedJson(json, state.rawReceived);
    json.key("received").beginArray();
    for (const auto& frame : state.received) {
        writeFrame(json, frame);
    }
    json.endArray().endObject();
    return json.text() + "\n";
}

}  // namespace pst::sim
