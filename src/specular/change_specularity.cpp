#include "specular/change_specularity.h"

#include "backup/backup_listing.h"
#include "backup/guarded_rewrite.h"
#include "report/lines.h"
#include "report/messages.h"
#include "specular/classification.h"
#include "specular/material_class_table.h"
#include "specular/specular_scaling.h"

namespace sorrelwick::specular {
namespace {

// Payload offsets of a material chunk's two specular bytes.
constexpr std::size_t kAmplitudeOffset = 16;
constexpr std::size_t kShininessOffset = 17;
static_assert(kMinScaledMaterialSize == kShininessOffset + 1);

// Scales a classified material chunk in place, then writes the chunk. The
// payload is the walk's own buffer, so the bytes are changed where they lie.
void ScaleAndWrite(backup::GuardedRewrite& rewrite, const format::Chunk& chunk,
                   MaterialClassTable& classes, const SpecularPercents& percents) {
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
        }
    }
    backup::WriteChunk(rewrite, chunk.header, payload);
}

}  // namespace

bool ChangeSpecularity(const ToolState& state, report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadSavePath);
        return false;
    }
    report::AddHeading(*log, report::msg::ChangingSpecularity(state.setName));

    MaterialClassTable classes;
    if (!ClassifyMaterials(state, *log, classes)) {
        classes.Clear();
        backup::AddLatestBackupHint(state, *log);
        report::AddClosing(*log);
        return false;
    }
    backup::RewriteJob job;
    job.cleanUp = [&classes](report::ReportLog&) { classes.Clear(); };
    job.successLine = report::msg::kSpecularityChanged;
    return backup::RunGuardedRewrite(
        state, job, *log,
        [&classes, &state](backup::GuardedRewrite& rewrite, const format::Chunk& chunk) {
            ScaleAndWrite(rewrite, chunk, classes, state.percents);
        });
}

}  // namespace sorrelwick::specular
