#include "operations/changes_page.h"

#include <unordered_map>

#include "comparison/comparison_report.h"
#include "operations/preview_card.h"
#include "operations/preview_walk.h"
#include "report/comparison_messages.h"
#include "report/messages.h"

namespace sorrelwick::operations {
namespace {

using comparison::ComparedSet;
using comparison::SetComparison;
using comparison::TextureDifference;

using Kind = TextureDifference::Kind;

// The row of each texture that differs, by its place among one file's
// textures.
using Rows = std::unordered_map<std::size_t, std::size_t>;

// The cards of one file's textures that differ, in `column`, each in its
// row (row 0 names the files).
bool WriteColumn(const ComparedSet& file, const SetComparison& comparison, unsigned column,
                 PageOutput& page, report::ReportLog& log, const DifferenceVisit& visit,
                 unsigned jobs) {
    const bool isSet = column == 1;
    Rows rows;
    for (std::size_t i = 0; i < comparison.textures.size(); ++i) {
        const TextureDifference& texture = comparison.textures[i];
        if (texture.kind == (isSet ? Kind::OnlyInOther : Kind::OnlyInSet)) continue;
        rows[isSet ? texture.setIndex : texture.otherIndex] = i + 1;
    }
    std::size_t met = 0;
    CardPipeline cards(jobs, MakeCardText, [&page](CardText& made) { page.Sink()(made.html); });
    const auto addCard = [&](std::size_t index, const std::string& name, format::Bytes tga) {
        const auto row = rows.find(index);
        if (row == rows.end()) return;
        ++met;
        const TextureDifference& texture = comparison.textures[row->second - 1];
        if (visit) visit(row->second - 1, isSet, tga);
        // A later texture of the same name is told apart as the report does.
        cards.Push(CardJob{report::msg::TextureLabel(name, texture.occurrence),
                           {tga.begin(), tga.end()},
                           texture.kind != Kind::Changed ? report::msg::OnlyIn(file.name) : "",
                           CardPlace{row->second, column}});
    };
    // Only the images that differ are read: the walk moves past the rest.
    const auto differs = [&rows](std::size_t index) { return rows.contains(index); };
    std::optional<std::uint64_t> fileSize;
    if (!VisitTextures(file.path, file.name, page, addCard, fileSize, log, differs,
                       [&cards] { cards.Finish(); }))
        return false;
    // A texture the comparison found and the walk did not: the file changed
    // since, and a page without its card would not show what differs.
    if (!page.writeFailed && met < rows.size()) {
        log.AppendLine(report::msg::CouldNotRead(file.name));
        return false;
    }
    return true;
}

}  // namespace

PageOutcome WriteChangesPage(const ToolState& state, const comparison::ComparedSet& other,
                             const std::string& pagePath, bool replaceExisting,
                             report::ReportLog& log, unsigned jobs) {
    const ComparedSet set{state.setPath, state.setName};
    const std::optional<SetComparison> comparison = CompareSets(set, other, log);
    if (!comparison) return PageOutcome::NotWritten;
    SetComparison texturesOnly;
    texturesOnly.textures = comparison->textures;
    for (const std::string& line : DifferenceLines(texturesOnly, set.name, other.name)) {
        log.AppendLine(line);
    }
    return WriteChangesPageOf(set, other, *comparison, pagePath, replaceExisting, log, {}, {},
                              jobs);
}

namespace {

// The page of a comparison into `page`; false when a file could not be read
// whole.
bool WriteChangesInto(PageOutput& page, const ComparedSet& set, const ComparedSet& other,
                      const SetComparison& comparison, report::ReportLog& log,
                      const DifferenceVisit& visit, const ChangesPageWords& words, unsigned jobs) {
    WriteChangesOpening(set.name, other.name, page.Sink(), words.title);
    const bool whole = WriteColumn(other, comparison, 0, page, log, visit, jobs) &&
                       WriteColumn(set, comparison, 1, page, log, visit, jobs);
    if (whole) {
        WriteChangesClosing(comparison.textures.size(), comparison.unchangedTextures, page.Sink(),
                            words.notes);
    }
    return whole;
}

}  // namespace

PageOutcome WriteChangesPageOf(const ComparedSet& set, const ComparedSet& other,
                               const SetComparison& comparison, const std::string& pagePath,
                               bool replaceExisting, report::ReportLog& log,
                               const DifferenceVisit& visit, const ChangesPageWords& words,
                               unsigned jobs) {
    PageOutput page;
    if (!StartPageFile(pagePath, page.draft, log)) return PageOutcome::NotWritten;
    const bool whole = WriteChangesInto(page, set, other, comparison, log, visit, words, jobs);
    return FinishPage(page, whole, replaceExisting, log);
}

std::optional<PageText> ChangesPageText(const ComparedSet& set, const ComparedSet& other,
                                        const SetComparison& comparison, std::size_t mostBytes,
                                        report::ReportLog& log, const DifferenceVisit& visit,
                                        const ChangesPageWords& words, unsigned jobs) {
    PageText made;
    PageOutput page{.draft = {}, .writeFailed = false, .memory = &made.text, .memoryLimit = mostBytes};
    if (!WriteChangesInto(page, set, other, comparison, log, visit, words, jobs)) {
        return std::nullopt;
    }
    made.tooLarge = page.writeFailed;
    return made;
}

}  // namespace sorrelwick::operations
