// Every command of sorrelwick-cli: the operation it runs and its arguments.
// A new command is a runner and one Add... function, called from AddCommands.

#include "cli/commands.h"

#include <CLI/CLI.hpp>
#include <string>

#include "backup/backup_listing.h"
#include "backup/restore_backup.h"
#include "cli/decimal_text.h"
#include "comparison/comparison_report.h"
#include "mod/mod_apply.h"
#include "mod/mod_pack.h"
#include "operations/extraction.h"
#include "operations/listing.h"
#include "operations/preview.h"
#include "operations/replacement.h"
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

void AddExtract(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(
        app, chosen, "extract", "Write every texture of SET into FOLDER as a .tga file",
        [](const CliRequest& request, ToolState& state, report::ReportLog& log) {
            std::size_t failed = 0;
            const bool done =
                request.textures.empty()
                    ? operations::ExtractTextures(state, request.folder, &log, &failed)
                    : operations::ExtractNamedTextures(state, request.folder, request.textures,
                                                       &log, &failed);
            return done && failed == 0;
        });
    AddFolder(command, chosen, "Where the .tga files go; existing files are never replaced");
    command
        .add_option("--texture", chosen.request.textures,
                    "Write only this texture, named as list prints it (NAME#2 for the second "
                    "of a name); may be given again")
        ->option_text("NAME");
}

// "NAME=FILE", split at its first '='.
std::vector<operations::TextureFile> TextureFiles(const std::vector<std::string>& texts) {
    std::vector<operations::TextureFile> files;
    for (const std::string& text : texts) {
        const std::size_t equals = text.find('=');
        files.push_back({text.substr(0, equals), text.substr(equals + 1)});
    }
    return files;
}

bool RunReplace(const CliRequest& request, ToolState& state, report::ReportLog& log) {
    std::size_t refused = 0;
    const bool done =
        request.textures.empty()
            ? operations::ReplaceTextures(state, request.folder, &log, {request.convert}, &refused)
            : operations::ReplaceNamedTextures(state, TextureFiles(request.textures), &log,
                                               {request.convert}, &refused);
    return done && refused == 0;
}

void AddReplace(CLI::App& app, ChosenCommand& chosen) {
    CLI::App& command = AddSetCommand(app, chosen, "replace",
                                      "Replace textures of SET by the .tga files of FOLDER, or "
                                      "the textures named by the files given",
                                      RunReplace);
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
                        "Replace the texture NAME, as list prints it (NAME#2 for the second of a "
                        "name), by FILE instead of a folder's files; may be given again")
            ->option_text("NAME=FILE")
            ->check(nameAndFile);
    folder->excludes(textures);
    // One of the two says where the files come from.
    command.callback([&chosen, folder, textures] {
        if (folder->count() == 0 && textures->count() == 0) {
            throw CLI::RequiredError("FOLDER or --texture");
        }
        chosen.run = RunReplace;
    });
    command.add_flag("--convert", chosen.request.convert,
                     "Also take NAME's .png file when NAME is missing, and convert a file of "
                     "another colour depth, image type or origin to the texture's own");
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
int ComparisonStatus(comparison::ComparisonOutcome outcome) {
    switch (outcome) {
        case comparison::ComparisonOutcome::Same:
            return 0;
        case comparison::ComparisonOutcome::Different:
            return 1;
        case comparison::ComparisonOutcome::Trouble:
            return 2;
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

}  // namespace

void AddCommands(CLI::App& app, ChosenCommand& chosen) {
    AddList(app, chosen);
    AddExtract(app, chosen);
    AddReplace(app, chosen);
    AddSpecular(app, chosen);
    AddPreview(app, chosen);
    AddBackups(app, chosen);
    AddRestore(app, chosen);
    AddDiff(app, chosen);
    AddPack(app, chosen);
    AddApply(app, chosen);
}

}  // namespace sorrelwick::cli
