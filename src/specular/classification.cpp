#include "specular/classification.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "operations/set_file_walk.h"
#include "report/messages.h"
#include "specular/object_link_table.h"
#include "specular/object_names.h"
#include "specular/pending_classes.h"

namespace sorrelwick::specular {
namespace {

// Payload offsets of the object and object name chunks.
constexpr std::size_t kMaterialCountOffset = 50;
constexpr std::size_t kMaterialKeysOffset = 54;
constexpr std::size_t kObjectNameOffset = 8;

// The material keys of an object chunk, or nullopt when the payload is too
// short for the count it gives.
std::optional<format::Bytes> MaterialKeyList(format::Bytes payload) {
    const auto count = format::U32At(payload, kMaterialCountOffset);
    if (!count) return std::nullopt;
    // The count field ends where the list begins, so the subtraction is safe;
    // comparing with the room left keeps 8 * count from overflowing.
    const std::size_t room = (payload.size() - kMaterialKeysOffset) / kChunkKeySize;
    if (*count > room) return std::nullopt;
    return payload.subspan(kMaterialKeysOffset, *count * kChunkKeySize);
}

// The text from `offset` to the first NUL or to the payload's end.
std::string_view NameAt(format::Bytes payload, std::size_t offset) {
    const std::string_view rest(reinterpret_cast<const char*>(payload.data()) + offset,
                                payload.size() - offset);
    return rest.substr(0, rest.find('\0'));
}

class ClassificationPass {
public:
    ClassificationPass(NamingStyle style, MaterialClassTable& classes)
        : style_(style), classes_(classes) {}

    void Handle(format::ChunkWalk& walk, const format::Chunk& chunk) {
        if (chunk.payload.empty()) return;
        if (chunk.header.kind == format::kObjectChunk &&
            chunk.header.variant == format::kMaterialListVariant) {
            LinkObject(walk, chunk.payload);
        } else if (chunk.header.kind == format::kObjectNameChunk) {
            NameObject(walk, chunk.payload);
        } else if (chunk.header.kind == format::kMaterialChunk &&
                   chunk.payload.size() >= kMinScaledMaterialSize) {
            classes_.NoteMaterialChunk(*KeyAt(chunk.payload, 0));
        }
    }

    // Writes the waiting classes, in the order their names came.
    void Flush(format::ChunkWalk& walk) {
        for (const ChunkKey& material : pending_.Keys()) classes_.Prefetch(material);
        for (std::size_t i = 0; i < pending_.GroupCount(); ++i)
            SetClasses(walk, pending_.GroupAt(i));
        pending_.Clear();
    }

    void Clear() { objects_.Clear(); }

private:
    void LinkObject(format::ChunkWalk& walk, format::Bytes payload) {
        const auto keyList = MaterialKeyList(payload);
        if (!keyList) return;
        if (!objects_.AddObject(*KeyAt(payload, 0), *keyList)) FailForMemory(walk);
    }

    void NameObject(format::ChunkWalk& walk, format::Bytes payload) {
        if (payload.size() <= kObjectNameOffset) return;
        const ChunkKey object = *KeyAt(payload, 0);
        const ObjectEntry* entry = objects_.FindObject(object);
        if (!entry) return;
        const SpecularClass cls = ClassifyObjectName(NameAt(payload, kObjectNameOffset), style_);
        if (cls != SpecularClass::None) Classify(walk, entry->Materials(), cls);
        objects_.RemoveObject(object);
    }

    // The classes wait in the batch; a list too long for it goes at once.
    void Classify(format::ChunkWalk& walk, std::span<const ChunkKey> materials, SpecularClass cls) {
        if (pending_.Add(materials, cls)) return;
        Flush(walk);
        if (!pending_.Add(materials, cls)) SetClasses(walk, {materials, cls});
    }

    void SetClasses(format::ChunkWalk& walk, const PendingClasses::Group& group) {
        for (const ChunkKey& material : group.materials) {
            if (!classes_.SetClass(material, group.cls)) {
                FailForMemory(walk);
                break;
            }
        }
    }

    // A failure held by the walk already came later in the file than any
    // waiting classification, or has this same message: it stays.
    static void FailForMemory(format::ChunkWalk& walk) {
        if (walk.result) walk.Fail(std::string(report::msg::kNotEnoughMemory));
    }

    NamingStyle style_;
    MaterialClassTable& classes_;
    ObjectLinkTable objects_;
    PendingClasses pending_;
};

}  // namespace

bool ClassifyMaterials(const ToolState& state, report::ReportLog& log,
                       MaterialClassTable& classes) {
    ClassificationPass pass(NamingStyleOf(state.setName), classes);
    operations::SetFileReader reader{.setName = state.setName};
    if (operations::StartSetFile(state.setPath, reader, log)) {
        format::Chunk chunk;
        while (operations::NextSetChunk(reader, chunk)) pass.Handle(reader.walk, chunk);
        // The names read before the walk ended classify, whatever ended it.
        pass.Flush(reader.walk);
    }
    const bool result = operations::FinishSetFile(reader, log);
    pass.Clear();
    if (result) classes.ResolveFileOrder();
    return result;
}

}  // namespace sorrelwick::specular
