#include "comparison/comparison_report.h"

#include "backup/set_location.h"
#include "platform/file_system.h"
#include "report/comparison_messages.h"
#include "report/lines.h"
#include "report/messages.h"

namespace sorrelwick::comparison {
namespace {

using Kind = TextureDifference::Kind;
using specular::SpecularClass;

std::string TextureLine(const TextureDifference& texture, std::string_view setName,
                        std::string_view otherName) {
    const std::string label =
        report::msg::TextureLabel(platform::NameForReport(texture.name), texture.occurrence);
    const TextureShape& shape = texture.kind == Kind::OnlyInOther ? texture.inOther : texture.inSet;
    std::string outcome;
    switch (texture.kind) {
        case Kind::Changed:
            outcome = texture.inSet == texture.inOther
                          ? std::string(report::msg::kChangedPixels)
                          : report::msg::ChangedFrom(texture.inOther.width, texture.inOther.height,
                                                     texture.inOther.depth);
            break;
        case Kind::OnlyInSet:
            outcome = report::msg::OnlyIn(setName);
            break;
        case Kind::OnlyInOther:
            outcome = report::msg::OnlyIn(otherName);
            break;
    }
    return report::TextureInfoLine(label, shape.width, shape.height, shape.depth, outcome);
}

std::string RangeText(const ByteRange& range) {
    return range.empty ? std::string() : report::msg::ValueRange(range.low, range.high);
}

// The classes in the order the report lists them.
struct ClassLine {
    SpecularClass cls;
    std::string_view label;
};
constexpr ClassLine kClassLines[] = {
    {SpecularClass::WhitePieces, report::msg::kWhitePiecesLabel},
    {SpecularClass::BlackPieces, report::msg::kBlackPiecesLabel},
    {SpecularClass::Board, report::msg::kBoardLabel},
    {SpecularClass::None, report::msg::kOtherMaterialsLabel},
};

// OTHER is what SET was before: its values are the old ones.
std::string MaterialLine(std::string_view label, const MaterialChange& change) {
    return report::NameMessageLine(
        label, report::msg::MaterialsChanged(
                   change.count, RangeText(change.otherShininess), RangeText(change.setShininess),
                   RangeText(change.otherAmplitude), RangeText(change.setAmplitude)));
}

// The report after its heading.
ComparisonOutcome ReportAfterHeading(const ComparedSet& set, const ComparedSet& other,
                                       report::ReportLog& log) {
    const std::optional<SetComparison> comparison = CompareSets(set, other, log);
    if (comparison) {
        for (const std::string& line : DifferenceLines(*comparison, set.name, other.name)) {
            log.AppendLine(line);
        }
        if (!comparison->identical) log.AppendLine("");
        log.AppendLine(DifferenceSummary(*comparison));
    }
    report::AddClosing(log);
    if (!comparison) return ComparisonOutcome::Trouble;
    return comparison->identical ? ComparisonOutcome::Same : ComparisonOutcome::Different;
}

}  // namespace

std::vector<std::string> DifferenceLines(const SetComparison& comparison, std::string_view setName,
                                         std::string_view otherName) {
    std::vector<std::string> lines;
    for (const TextureDifference& texture : comparison.textures) {
        lines.push_back(TextureLine(texture, setName, otherName));
    }
    for (const ClassLine& line : kClassLines) {
        const MaterialChange& change = comparison.ChangeOf(line.cls);
        if (change.count != 0) lines.push_back(MaterialLine(line.label, change));
    }
    if (comparison.otherDataDiffers) lines.emplace_back(report::msg::kOtherDataDiffers);
    return lines;
}

std::string DifferenceSummary(const SetComparison& comparison) {
    if (comparison.identical) return std::string(report::msg::kNoDifferences);
    return report::msg::DifferenceCount(comparison.textures.size(), comparison.ChangedMaterials(),
                                        comparison.otherDataDiffers);
}

ComparisonOutcome ReportComparison(const ComparedSet& set, const ComparedSet& other,
                                   report::ReportLog* log) {
    if (!log) return ComparisonOutcome::Trouble;
    report::AddHeading(*log, report::msg::Comparing(set.name, other.name));
    return ReportAfterHeading(set, other, *log);
}

ComparisonOutcome CompareWithOther(const ToolState& state, std::string_view other,
                                   report::ReportLog* log) {
    if (!log) return ComparisonOutcome::Trouble;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return ComparisonOutcome::Trouble;
    }
    // A set reached through a link lies, with its backups, where the link points.
    const std::string setFile = backup::ResolveSetPath(state.setPath);
    const std::optional<std::string> otherPath = OtherSetPath(setFile, other);
    if (!otherPath) {
        // A set whose name takes no backup number has no backups to compare with.
        log->AppendLine(report::msg::kInvalidLoadSavePath);
        return ComparisonOutcome::Trouble;
    }
    // The heading names the set as given; every other line the files where they lie.
    const ComparedSet set{setFile, std::string(platform::FileNamePart(setFile))};
    const ComparedSet otherSet{*otherPath, std::string(platform::FileNamePart(*otherPath))};
    report::AddHeading(*log, report::msg::Comparing(state.setName, otherSet.name));
    return ReportAfterHeading(set, otherSet, *log);
}

}  // namespace sorrelwick::comparison
