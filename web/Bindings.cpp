// The page's entry points into the model, called from JavaScript (web/site/js/model.js):
// each takes and gives UTF-8 text, and every answer is built by the same code as
// quillon-cli's, so the page shows what the command line prints. An answer stays valid
// until the next call.
#include "cli/CliCommands.h"
#include "cli/classic/TimingChoice.h"
#include "cli/common/AddressFragment.h"
#include "cli/common/CliArguments.h"
#include "cli/common/CliOptions.h"
#include "cli/fd/FdChoice.h"
#include "diagram/BitTimingDiagram.h"
#include "diagram/FdBitTimingDiagram.h"
#include "report/classic/Export.h"
#include "report/common/JsonWriter.h"
#include "report/fd/FdExport.h"
#include "timing/common/Controllers.h"
#include "web/SvgCanvas.h"

#include <sstream>
#include <string>
#include <vector>

using namespace quillon;
using namespace quillon::cli;

namespace {

std::string g_answer;

const char* Answer(std::string text) {
    g_answer = std::move(text);
    return g_answer.c_str();
}

// The command line of a fragment, with --json added where `json` asks for it and the
// command takes it; the reader's refusal in `error`.
FragmentReading CommandLineOf(const char* fragment, bool json) {
    FragmentReading reading = ReadFragment(fragment != nullptr ? fragment : "");
    if (!reading.error.empty() || !json) {
        return reading;
    }
    const ParseResult parsed = ParseArguments(reading.args);
    if (parsed.request && !parsed.request->help && !parsed.request->json &&
        Accepts(parsed.request->command, Option::Json)) {
        reading.args.push_back("--json");
    }
    return reading;
}

std::string DiagramOf(const std::vector<std::string>& args) {
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.request || parsed.request->help) {
        return {};
    }
    const Request& request = *parsed.request;
    CommandOutput ignored;
    if (request.command == Command::Timing || request.command == Command::Export) {
        const auto choice = ResolveChoice(request, ignored);
        web::SvgCanvas canvas(web::kPictureWidth, web::kClassicPictureHeight);
        if (choice && DrawBitTimingDiagram(canvas, choice->setting, true)) {
            return canvas.Svg("The bit of this setting cut into time quanta");
        }
    } else if (request.command == Command::FdTiming || request.command == Command::FdExport) {
        const auto choice = ResolveFdChoice(request, ignored);
        web::SvgCanvas canvas(web::kPictureWidth, web::kFdPictureHeight);
        if (choice && DrawFdBitTimingDiagram(canvas, choice->setting)) {
            return canvas.Svg("The nominal and the data bit of this setting cut into time quanta");
        }
    }
    return {};
}

} // namespace

extern "C" {

// Runs the command a fragment stands for, as quillon-cli runs its command line:
// {"args": [...], "error": "" or the reader's refusal, "status", "out", "err"}. With `json`
// non-zero, --json is added where the command takes it.
const char* quillon_run(const char* fragment, int json) {
    const FragmentReading reading = CommandLineOf(fragment, json != 0);
    CommandOutput output{kExitUsage, {}, {}};
    if (reading.error.empty()) {
        output = RunCommandLine(reading.args, [](const Request& request) {
            return Refusal(kExitUsage, CommandName(request.command),
                           "writes files or opens the desktop; run it with quillon-cli");
        });
    }
    JsonWriter writer;
    writer.BeginObject().Key("args").BeginArray();
    for (const std::string& argument : reading.args) {
        writer.String(argument);
    }
    writer.EndArray();
    writer.Key("error").String(reading.error);
    writer.Key("status").Integer(output.status);
    writer.Key("out").String(output.out);
    writer.Key("err").String(output.err);
    writer.EndObject();
    return Answer(writer.Text());
}

// The diagram of the setting a timing or export fragment (classic or CAN FD) chooses, as
// SVG; empty when it chooses none.
const char* quillon_diagram(const char* fragment) {
    const FragmentReading reading = ReadFragment(fragment != nullptr ? fragment : "");
    return Answer(reading.error.empty() ? DiagramOf(reading.args) : std::string());
}

// The options a command ("timing", "fd/timing") takes, as a JSON array of
// {"name", "flag", "repeats"}, names without dashes; [] for no such command.
const char* quillon_options(const char* command) {
    const FragmentReading reading = ReadFragment(command != nullptr ? command : "");
    JsonWriter writer;
    writer.BeginArray();
    if (reading.error.empty()) {
        const CommandInfo* info =
            FindCommand(reading.args.back(), reading.args.size() > 1 ? reading.args[0] : "");
        for (const OptionInfo* option :
             info ? OptionsOf(info->command) : std::vector<const OptionInfo*>{}) {
            writer.BeginObject();
            writer.Key("name").String(option->name.substr(2));
            writer.Key("flag").Bool(option->kind == ValueKind::Flag);
            writer.Key("repeats").Bool(option->kind == ValueKind::BusNode);
            writer.EndObject();
        }
    }
    writer.EndArray();
    return Answer(writer.Text());
}

// The fragment read into its command line: {"args": [...], "error": "" or the refusal}.
const char* quillon_read(const char* fragment) {
    const FragmentReading reading = ReadFragment(fragment != nullptr ? fragment : "");
    JsonWriter writer;
    writer.BeginObject().Key("args").BeginArray();
    for (const std::string& argument : reading.args) {
        writer.String(argument);
    }
    writer.EndArray().Key("error").String(reading.error).EndObject();
    return Answer(writer.Text());
}

// The export forms as a JSON array of {"name", "title"}: the classic forms that carry a
// setting of the named controller to its target, or with `fd` non-zero the CAN FD forms.
const char* quillon_formats(int fd, const char* controller) {
    JsonWriter writer;
    writer.BeginArray();
    if (fd != 0) {
        for (const FdExportFormatInfo& info : FdExportFormats()) {
            writer.BeginObject().Key("name").String(info.name);
            writer.Key("title").String(info.summary).EndObject();
        }
    } else {
        const Controller* row = FindController(controller != nullptr ? controller : "");
        for (const ExportFormatInfo& info : kExportFormats) {
            if (FormatFits(info.format, row != nullptr ? *row : DefaultController())) {
                writer.BeginObject().Key("name").String(info.name);
                writer.Key("title").String(info.title).EndObject();
            }
        }
    }
    writer.EndArray();
    return Answer(writer.Text());
}

// The fragment of a command line given one argument a line, as ReadFragment reads it back.
const char* quillon_fragment(const char* lines) {
    std::vector<std::string> args;
    std::istringstream in(lines != nullptr ? lines : "");
    for (std::string line; std::getline(in, line);) {
        args.push_back(line);
    }
    return Answer(WriteFragment(args));
}

} // extern "C"
