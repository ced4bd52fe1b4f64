// Every command of sorrelwick-cli: the operation it runs and its arguments.
// A new command is a runner and one Add... function, called from AddCommands.

#include "cli/commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <string>

#include "backup/backup_listing.h"
#include "backup/restore_backup.h"
#include "cli/decimal_text.h"
#include "cli/texture_names.h"
#include "comparison/comparison_report.h"
#include "mod/mod_apply.h"
#include "mod/mod_pack.h"
#include "mod/mod_unapply.h"
#include "mod/mods_report.h"
#include "operations/extraction.h"
#include "operations/listing.h"
#include "operations/preview.h"
#include "operations/replacement.h"
#include "operations/texture_watch.h"
#include "platform/folder_watch.h"
#include "specular/change_specularity.h"

namespace sorrelwick::cli {
namespace {

// "S,A": the shininess and amplitude percents of one class.
bool ParsePercentPair(const std::string& text, std::uint32_t& shininess, std::uint32_t& amplitude) {
    constexpr std::uint64_t kMaxPercent = 4294967295u;
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    const auto s = ParseDecimal(std::string_view(text).substr(0, comma), kMaxPercent);
    const auto a = ParseDecimal(std::string_view(text).substr(comma + 1), kMaxPercent);
    if (!s || !a) return false;
    shininess = static_cast<std::uint32_t>(*s);
    amplitude = static_cast<std::uint32_t>(*a);
    return true;
}

// --jobs N, or SORRELWICK_JOBS when it is not given: the threads that make
// a page's pictures.
void AddJobsOption(CLI::App& command, unsigned& jobs) {
    constexpr unsigned kMostJobs = 1024;
    command
        .add_option("--jobs", jobs,
                    "Make the page's pictures on N threads, 1 to 1024 (default: one per "
                    "core); the page is the same whatever N")
        ->option_text("N")
        ->envname("SORRELWICK_JOBS")
        ->check(CLI::Range(1u, kMostJobs));
}

// A command whose first argument is the chess set; `run` runs when the user
// names it.
CLI::App& AddSetCommand(CLI::App& app, ChosenCommand& chosen, const std::string& name,
                        const std::string& description, OperationRunner run) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("SET", chosen.request.setPath, "The chess-set file")->required();
    command->callback([&chosen, run] { chosen.run = run; });
    return *command;
}

void AddFolder(CLI::App& command, ChosenCommand& chosen, const std::string& description) {
    command.add_option("FOLDER", chosen.request.folder, description)->required();
}

void AddList(CLI::App& app, ChosenCommand& chosen) {
    AddSetCommand(app, chosen, "list", "List the textures of SET with size and depth",
                  [](const CliRequest&, ToolState& state, report::ReportLog& log) {
                      return operations::ListTextures(state, &log);
                  });
}

constexpr int kUsageError = 2;

// The textures --texture names, or nullopt after the usage error.
std::optional<std::vector<NamedTexture>> NamedTextures(const CliRequest& request, bool withFile) {
    TextureNaming naming = NameTextures(request.setPath, request.textures, withFile);
    if (naming.usageError.empty()) return std::move(naming.textures);
    std::cerr << "sorrelwick-cli: " << naming.usageError << "\n";
    return std::nullopt;
}

int RunExtract(const CliRequest& request, ToolState& state, report::ReportLog& log) {
    std::size_t failed = 0;
    if (request.textures.empty()) {
        return operations::ExtractTextures(state, request.folder, &log, &failed) && failed == 0
                   ? 0
                   : 1;
    }
    const std::optional<std::vector<NamedTexture>> named = NamedTextures(request, false);
    if (!named) return kUsageError;
    std::vector<std::string> names;
    for (const NamedTexture& texture : *named) names.push_back(texture.name);
    return operations::ExtractNamedTextures(state, request.folder, names, &log, &failed) &&
                   failed == 0
               ? 0
               : 1;
}

// The help's way of naming the second and later textures of a name.
constexpr const char* kCountedNames =
    "list prints each texture by its name; the second texture of a name, counted in list's "
    "order, is NAME#2, the third NAME#3";

void AddExtract(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(
        app, chosen, "extract", "Write every texture of SET into FOLDER as a .tga file", nullptr);
    command.callback([&chosen] { chosen.runForStatus = RunExtract; });
    AddFolder(command, chosen, "Where the .tga files go; existing files are never replaced");
    command
        .add_option("--texture", chosen.request.textures,
                    std::string("Write only the texture NAME (") + kCountedNames +
                        "); may be given again")
        ->option_text("NAME");
}

void AddConversionFlags(CLI::App& command, ChosenCommand& chosen) {
    command.add_flag("--convert", chosen.request.convert,
                     "Also take NAME's picture (.png, .psd, .bmp, .gif, .jpg, .jpeg) when NAME "
                     "is missing, and convert a file of another format, colour depth, image "
                     "type or origin to the texture's own");
    command.add_flag("--fit", chosen.request.fit,
                     "Scale a picture whose sides differ from the texture's to them (implies "
                     "--convert)");
}

int RunReplace(const CliRequest& request, ToolState& state, report::ReportLog& log) {
    std::size_t refused = 0;
    if (request.textures.empty()) {
        return operations::ReplaceTextures(state, request.folder, &log, {request.convert, request.fit},
                                           &refused) &&
                       refused == 0
                   ? 0
                   : 1;
    }
    const std::optional<std::vector<NamedTexture>> named = NamedTextures(request, true);
    if (!named) return kUsageError;
    std::vector<operations::TextureFile> files;
    for (const NamedTexture& texture : *named) files.push_back({texture.name, texture.file});
    return operations::ReplaceNamedTextures(state, files, &log, {request.convert, request.fit}, &refused) &&
                   refused == 0
               ? 0
               : 1;
}

void AddReplace(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(app, chosen, "replace",
                                      "Replace textures of SET by the .tga files of FOLDER, or "
                                      "the textures named by the files given",
                                      nullptr);
    CLI::Option* folder =
        command.add_option("FOLDER", chosen.request.folder, "The folder of edited .tga files");
    const CLI::Validator nameAndFile(
        [](std::string& text) {
            const std::size_t equals = text.find('=');
            return equals != std::string::npos && equals != 0 && equals + 1 != text.size()
                       ? std::string()
                       : "not NAME=FILE: " + text;
        },
        "");
    CLI::Option* textures =
        command
            .add_option("--texture", chosen.request.textures,
                        std::string("Replace the texture NAME (") + kCountedNames +
                            ") by FILE instead of a folder's files; a NAME holding '=' is "
                            "taken where the set holds it; may be given again")
            ->option_text("NAME=FILE")
            ->check(nameAndFile);
    folder->excludes(textures);
    // One of the two says where the files come from.
    command.callback([&chosen, folder, textures] {
        if (folder->count() == 0 && textures->count() == 0) {
            throw CLI::RequiredError("FOLDER or --texture");
        }
        chosen.runForStatus = RunReplace;
    });
    AddConversionFlags(command, chosen);
}

bool RunWatch(const CliRequest& request, ToolState& state, report::ReportLog& log) {
    // Ctrl+C or a request to terminate lets an import under way finish.
    const platform::StopRequests stops;
    operations::WatchSettings settings;
    settings.options = {request.convert, request.fit};
    return operations::WatchFolder(state, request.folder, settings, log);
}

void AddWatch(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(
        app, chosen, "watch",
        "Import each texture file saved into FOLDER from now on into SET, until Ctrl+C",
        RunWatch);
    AddFolder(command, chosen, "The folder where the textures are edited");
    command.callback([&chosen] {
        chosen.run = RunWatch;
        chosen.flushEachLine = true;
    });
    AddConversionFlags(command, chosen);
}

void AddPercentOption(CLI::App& command, const std::string& name, const std::string& what,
                      std::uint32_t& shininess, std::uint32_t& amplitude) {
    const CLI::Validator percentPair(
        [](std::string& text) {
            std::uint32_t s = 0, a = 0;
            return ParsePercentPair(text, s, a) ? std::string() : "not a percent pair S,A: " + text;
        },
        "");
    command
        .add_option_function<std::string>(
            name,
            [&shininess, &amplitude](const std::string& text) {
                ParsePercentPair(text, shininess, amplitude);
            },
            "Shininess and amplitude percents for " + what)
        ->type_name("S,A")
        ->check(percentPair)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void AddSpecular(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command =
        AddSetCommand(app, chosen, "specular", "Scale the specularity of SET's materials",
                      [](const CliRequest& request, ToolState& state, report::ReportLog& log) {
                          state.percents = request.percents;
                          return specular::ChangeSpecularity(state, &log);
                      });
    SpecularPercents& p = chosen.request.percents;
    AddPercentOption(command, "--white", "the white pieces", p.whiteShininess, p.whiteAmplitude);
    AddPercentOption(command, "--black", "the black pieces", p.blackShininess, p.blackAmplitude);
    AddPercentOption(command, "--board", "the board", p.boardShininess, p.boardAmplitude);
    command.footer(
        "S and A are the shininess and amplitude percents, 0 to 4294967295 (100 keeps a "
        "value).");
}

void AddPreview(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command =
        AddSetCommand(app, chosen, "preview", "Write one HTML page that shows every texture of SET",
                      [](const CliRequest& request, ToolState& state, report::ReportLog& log) {
                          return operations::WritePreviewPage(
                              state,
                              {request.pagePath, request.force, request.other, {}, request.jobs},
                              &log);
                      });
    command.add_option("PAGE", chosen.request.pagePath, "The page to write, e.g. set.html")
        ->required();
    command.add_flag("--force", chosen.request.force, "Replace PAGE when it exists");
    AddJobsOption(command, chosen.request.jobs);
    command
        .add_option("--compare", chosen.request.other,
                    "Show only the textures that differ from OTHER, before and now side by "
                    "side: another chess set, or a backup number of SET, 0 to 999")
        ->option_text("OTHER");
}

void AddBackups(CLI::App& app, ChosenCommand& chosen) {
    AddSetCommand(app, chosen, "backups",
                  "List SET's backups with size, time (UTC) and what each holds",
                  [](const CliRequest&, ToolState& state, report::ReportLog& log) {
                      return backup::ReportBackups(state, &log);
                  });
}

void AddRestore(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(
        app, chosen, "restore",
        "Bring backup NNN of SET back to SET; the current SET becomes a backup itself",
        [](const CliRequest& request, ToolState& state, report::ReportLog& log) {
            return backup::RestoreBackup(state, request.backupNumber, &log);
        });
    const CLI::Validator backupNumber(
        [](std::string& text) {
            return ParseDecimal(text, 999) ? std::string()
                                           : "not a backup number 0 to 999: " + text;
        },
        "");
    unsigned& number = chosen.request.backupNumber;
    command
        .add_option_function<std::string>(
            "NNN",
            [&number](const std::string& text) {
                number = static_cast<unsigned>(ParseDecimal(text, 999).value_or(0));
            },
            "The backup's number, 0 to 999 (as in SET's backups)")
        ->required()
        ->check(backupNumber);
}

// Exit status as `cmp` and `diff` give it.
constexpr int kComparisonTrouble = 2;

int ComparisonStatus(comparison::ComparisonOutcome outcome) {
    switch (outcome) {
        case comparison::ComparisonOutcome::Same:
            return 0;
        case comparison::ComparisonOutcome::Different:
            return 1;
        case comparison::ComparisonOutcome::Trouble:
            return kComparisonTrouble;
    }
    return 2;
}

void AddDiff(CLI::App& app, ChosenCommand& chosen) {
    CLI::App* command = app.add_subcommand(
        "diff", "Compare SET with OTHER: the textures and materials that differ");
    command->add_option("SET", chosen.request.setPath, "The chess-set file")->required();
    command
        ->add_option("OTHER", chosen.request.other,
                     "Another chess set, or a backup number of SET, 0 to 999 (a file named 3 "
                     "is ./3)")
        ->required();
    command->callback([&chosen] {
        chosen.runForStatus = [](const CliRequest& request, ToolState& state,
                                 report::ReportLog& log) {
            return ComparisonStatus(comparison::CompareWithOther(state, request.other, &log));
        };
        chosen.unwrittenReportStatus = kComparisonTrouble;
    });
    command->footer("Exit status: 0 the same, 1 different, 2 trouble.");
}

void AddPack(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(
        app, chosen, "pack", "Pack what changed in SET since BASE into a mod file, MOD.zip",
        [](const CliRequest& request, ToolState& state, report::ReportLog& log) {
            return mod::PackMod(state,
                                {request.other, request.modPath, request.title, request.author,
                                 {}, request.force, request.jobs},
                                &log);
        });
    command
        .add_option("BASE", chosen.request.other,
                    "The set the changes were made on: another chess set, or a backup number "
                    "of SET, 0 to 999")
        ->required();
    command.add_option("MOD", chosen.request.modPath, "The mod file to write, e.g. my-mod.zip")
        ->required();
    command.add_option("--title", chosen.request.title, "The mod's title");
    command.add_option("--author", chosen.request.author, "Who made the mod");
    command.add_flag("--force", chosen.request.force, "Replace MOD when it exists");
    AddJobsOption(command, chosen.request.jobs);
}

void AddApply(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(
        app, chosen, "apply",
        "Apply the mod file MOD.zip to SET: each piece where SET still holds the mod's base",
        [](const CliRequest& request, ToolState& state, report::ReportLog& log) {
            return mod::ApplyMod(state, {request.modPath, request.checkOnly, request.force},
                                 &log);
        });
    command.add_option("MOD", chosen.request.modPath, "The mod file, e.g. my-mod.zip")
        ->required();
    command.add_flag("--check", chosen.request.checkOnly,
                     "Tell what would be applied; write nothing");
    command.add_flag("--force", chosen.request.force,
                     "Also apply a piece where SET differs from the mod's base");
}

void AddMods(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(
        app, chosen, "mods",
        "Tell each mod's state against SET, and the pieces two of them change; writes nothing",
        [](const CliRequest& request, ToolState& state, report::ReportLog& log) {
            return mod::ReportMods(
                state, {request.mods, request.pagePath, request.force, request.jobs}, &log);
        });
    command
        .add_option("MOD", chosen.request.mods,
                    "A mod file, or a folder standing for every .zip in it in name order")
        ->required();
    command
        .add_option("--page", chosen.request.pagePath,
                    "Also write a page with a card per mod: state, and each changed texture "
                    "before and after")
        ->option_text("PAGE");
    command.add_flag("--force", chosen.request.force, "Replace PAGE when it exists");
    AddJobsOption(command, chosen.request.jobs);
}

void AddUnapply(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(
        app, chosen, "unapply",
        "Take the mod MOD.zip out of SET: each piece still as the mod made it gets its base back",
        [](const CliRequest& request, ToolState& state, report::ReportLog& log) {
            return mod::UnapplyMod(state, {request.modPath, request.checkOnly}, &log);
        });
    command.add_option("MOD", chosen.request.modPath, "The mod file, e.g. my-mod.zip")->required();
    command.add_flag("--check", chosen.request.checkOnly,
                     "Tell what would be taken out; write nothing");
}

}  // namespace

void AddCommands(CLI::App& app, ChosenCommand& chosen) {
    AddList(app, chosen);
    AddExtract(app, chosen);
    AddReplace(app, chosen);
    AddWatch(app, chosen);
    AddSpecular(app, chosen);
    AddPreview(app, chosen);
    AddBackups(app, chosen);
    AddRestore(app, chosen);
    AddDiff(app, chosen);
    AddPack(app, chosen);
    AddApply(app, chosen);
    AddUnapply(app, chosen);
    AddMods(app, chosen);
}

}  // namespace sorrelwick::cli
