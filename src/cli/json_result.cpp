#include "cli/json_result.h"

#include <chrono>
#include <ostream>
#include <sstream>
#include <streambuf>

#include "cli/json_attach.h"
#include "cli/run_record.h"
#include "cli/stop_requests.h"
#include "engine/link_kinds.h"
#include "texts/engine_texts.h"

namespace pst::cli {

namespace {

using json = nlohmann::ordered_json;

// Writes to two stream buffers at once.
class TeeBuffer : public std::streambuf {
public:
    TeeBuffer(std::streambuf* first, std::streambuf* second) : first_(first), second_(second) { }

protected:
    int overflow(int c) override
    {
        if (c == traits_type::eof())
            return traits_type::not_eof(c);
        const auto ch = traits_type::to_char_type(c);
        const bool ok = first_->sputc(ch) != traits_type::eof() && second_->sputc(ch) != traits_type::eof();
        return ok ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        first_->sputn(text, count);
        return second_->sputn(text, count);
    }
    int sync() override { return first_->pubsync() | second_->pubsync(); }

private:
    std::streambuf* first_;
    std::streambuf* second_;
};

json lines(const std::string& text)
{
    json all = json::array();
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            all.push_back(line);
    return all;
}

json linkOf(const CliOptions& options)
{
    const LinkKindInfo& kind = linkKindInfo(options.link);
    if (!kind.hasLineSpeed)
        return {{"kind", kind.name}, {"target", linkTarget(options)}};
    // The options were checked to be speeds when they were read.
    return {{"kind", kind.name},
            {"target", linkTarget(options)},
            {"device_speed", options.deviceSpeed},
            {"transfer_speed", options.transferSpeed}};
}

}  // namespace

void attachJsonResult(const std::string& key, const nlohmann::ordered_json& value)
{
    runRecord().attachJson(key, value.dump(-1, ' ', false, json::error_handler_t::replace));
}

int runWithJsonResult(const Command& command, const CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::ostringstream captured;
    std::ostringstream messages;
    TeeBuffer tee(err.rdbuf(), messages.rdbuf());
    std::ostream teeErr(&tee);
    const auto started = std::chrono::steady_clock::now();
    // Stopped from outside, the command's status is the one it exits with.
    const int status = statusAfterStop(command.run(options, captured, teeErr));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const RunRecord& record = runRecord();
    // Commands that name their own printers, or none, have no one link.
    const std::string name = command.name;
    const bool ownLinks =
        name == "apply" || name == "find" || name == "profile" || name == "list-ports" || name == "list-usb";
    json result{{"command", command.name},
                {"link", ownLinks ? json(nullptr) : linkOf(options)},
                {"ok", status == 0},
                {"exit_status", status},
                {"status_texts", lines(captured.str())},
                {"messages", lines(messages.str())},
                {"duration", seconds}};
    // A command that went on at the speed the printer answered at ran there.
    json& link = result["link"];
    if (const auto speeds = record.speeds(); speeds && link.is_object() && link.contains("device_speed")) {
        link["device_speed"] = speeds->device;
        link["transfer_speed"] = speeds->transfer;
    }
    if (const std::string model = record.model(); !model.empty())
        result["model"] = model;
    if (const auto failure = record.failure(); failure && status != 0)
        result["error"] = {{"code", failure->code},
                           {"text", EngineTextInLanguage(failure->text)},
                           {"cause", EngineTextInLanguage(failure->cause)}};
    for (const auto& [key, text] : record.attached()) {
        json value = json::parse(text, nullptr, false);
        if (!value.is_discarded())
            result[key] = std::move(value);
    }
    out << result.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
    return status;
}

}  // namespace pst::cli
