#include "specular/classification.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "set_file/set_file_walk.h"
#include "report/messages.h"
#include "specular/object_link_table.h"
#include "specular/object_names.h"

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

// A failure the walk already holds came later in the file, or has this same
// message: it stays.
void FailForMemory(format::ChunkWalk& walk) {
    if (walk.result) walk.Fail(std::string(report::msg::kNotEnoughMemory));
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

    void Classify(format::ChunkWalk& walk, std::span<const ChunkKey> materials, SpecularClass cls) {
        for (const ChunkKey& material : materials) {
            if (!classes_.SetClass(material, cls)) {
                FailForMemory(walk);
                return;
            }
        }
    }

    NamingStyle style_;
    MaterialClassTable& classes_;
    ObjectLinkTable objects_;
};

}  // namespace

bool ClassifyMaterials(const ToolState& state, report::ReportLog& log,
                       MaterialClassTable& classes) {
    ClassificationPass pass(NamingStyleOf(state.setName), classes);
    set_file::SetFileReader reader{.setName = state.setName};
    if (set_file::StartSetFile(state.setPath, reader, log)) {
        format::Chunk chunk;
        while (set_file::NextSetChunk(reader, chunk)) pass.Handle(reader.walk, chunk);
        pass.Clear();  // the objects' lists are not needed any more
        // After a failed walk nothing is rewritten: the classes would be unused.
        if (reader.walk.result && !classes.Resolve()) FailForMemory(reader.walk);
    }
    return set_file::FinishSetFile(reader, log);
}

}  // namespace sorrelwick::specular
