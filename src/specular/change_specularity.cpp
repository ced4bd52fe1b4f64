#include "specular/change_specularity.h"

#include "backup/backup_listing.h"
#include "backup/guarded_rewrite.h"
#include "backup/set_location.h"
#include "report/lines.h"
#include "report/messages.h"
#include "specular/classification.h"
#include "specular/material_class_table.h"
#include "specular/specular_scaling.h"
#include "specular/specularity_outcome.h"

namespace sorrelwick::specular {
namespace {

// Payload offsets of a material chunk's two specular bytes.
constexpr std::size_t kAmplitudeOffset = 16;
constexpr std::size_t kShininessOffset = 17;
static_assert(kMinScaledMaterialSize == kShininessOffset + 1);

// Scales a classified material chunk in place, then writes the chunk. The
// payload is the walk's own buffer, so the bytes are changed where they lie.
void ScaleAndWrite(backup::GuardedRewrite& rewrite, const format::Chunk& chunk,
                   MaterialClassTable& classes, const SpecularPercents& percents,
                   ChangedCounts& changed) {
    const format::Bytes payload = chunk.payload;
    // A material too short for its specular bytes is copied unchanged.
    if (chunk.header.kind == format::kMaterialChunk && payload.size() >= kMinScaledMaterialSize) {
        const SpecularClass cls = classes.ClassOfNext(*KeyAt(payload, 0));
        std::uint8_t* bytes = rewrite.walk.payload.get();
        // Only ever change the walk's own buffer, which this payload must be.
        if (cls != SpecularClass::None && bytes == payload.data()) {
            const SpecularBytes scaled =
                ScaleSpecularBytes(bytes[kAmplitudeOffset], bytes[kShininessOffset], cls, percents);
            bytes[kAmplitudeOffset] = scaled.amplitude;
            bytes[kShininessOffset] = scaled.shininess;
            ++changed[static_cast<std::size_t>(cls)];
        }
    }
    backup::WriteChunk(rewrite, chunk.header, payload);
}

// Passes the rewrite's lines on, but for its success line: in its place come
// the lines that tell what was changed, and the success line follows them
// only when every group the user asked to change was found.
class ChangeReport final : public report::ReportLog {
public:
    ChangeReport(report::ReportLog& log, const ChangedCounts& changed,
                 const SpecularPercents& percents, std::string_view setName)
        : log_(log), changed_(changed), percents_(percents), setName_(setName) {}

    void AppendLine(std::string_view line) override {
        if (line != report::msg::kSpecularityChanged) return log_.AppendLine(line);
        const SpecularityOutcome outcome = DescribeChanges(changed_, percents_, setName_);
        for (const std::string& told : outcome.lines) log_.AppendLine(told);
        everyAskedGroupFound_ = outcome.everyAskedGroupFound;
        if (everyAskedGroupFound_) log_.AppendLine(line);
    }

    bool EveryAskedGroupFound() const { return everyAskedGroupFound_; }

private:
    report::ReportLog& log_;
    const ChangedCounts& changed_;
    const SpecularPercents& percents_;
    std::string_view setName_;
    bool everyAskedGroupFound_ = true;
};

}  // namespace

bool ChangeSpecularity(const ToolState& state, report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadSavePath);
        return false;
    }
    report::AddHeading(*log, report::msg::ChangingSpecularity(state.setName));

    // Piece names are read in the naming of the file's own name, which a
    // link to it need not share.
    const ToolState resolved = backup::ResolvedSet(state);
    MaterialClassTable classes;
    if (!ClassifyMaterials(resolved, *log, classes)) {
        classes.Clear();
        backup::AddLatestBackupHint(state, *log);
        report::AddClosing(*log);
        return false;
    }
    backup::RewriteJob job;
    job.cleanUp = [&classes](report::ReportLog&) { classes.Clear(); };
    job.successLine = report::msg::kSpecularityChanged;
    ChangedCounts changed{};
    ChangeReport report(*log, changed, state.percents, resolved.setName);
    // A group that was not found leaves the others changed, as asked, but
    // the run fails: the user's request was not honoured whole.
    const bool rewritten = backup::RunGuardedRewrite(
        state, job, report,
        [&](backup::GuardedRewrite& rewrite, const format::Chunk& chunk) {
            ScaleAndWrite(rewrite, chunk, classes, state.percents, changed);
        });
    return rewritten && report.EveryAskedGroupFound();
}

}  // namespace sorrelwick::specular
