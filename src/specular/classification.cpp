#include "specular/classification.h"

#include <optional>
#include <string>
#include <string_view>

#include "operations/set_file_walk.h"
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
        }
    }

    void Clear() { objects_.Clear(); }

private:
    void LinkObject(format::ChunkWalk& walk, format::Bytes payload) {
        const auto keyList = MaterialKeyList(payload);
        if (!keyList) return;
        if (!objects_.AddObject(*KeyAt(payload, 0), *keyList)) {
            walk.Fail(std::string(report::msg::kNotEnoughMemory));
        }
    }

    void NameObject(format::ChunkWalk& walk, format::Bytes payload) {
        if (payload.size() <= kObjectNameOffset) return;
        const ChunkKey object = *KeyAt(payload, 0);
        const ObjectEntry* entry = objects_.FindObject(object);
        if (!entry) return;
        const SpecularClass cls = ClassifyObjectName(NameAt(payload, kObjectNameOffset), style_);
        if (cls != SpecularClass::None) {
            for (const ChunkKey& material : entry->Materials()) {
                if (!classes_.SetClass(material, cls)) {
                    walk.Fail(std::string(report::msg::kNotEnoughMemory));
                    break;
                }
            }
        }
        objects_.RemoveObject(object);
    }

    NamingStyle style_;
    MaterialClassTable& classes_;
    ObjectLinkTable objects_;
};

}  // namespace

bool ClassifyMaterials(const ToolState& state, report::ReportLog& log,
                       MaterialClassTable& classes) {
    ClassificationPass pass(NamingStyleOf(state.setName), classes);
    const bool result = operations::WalkSetFile(
        state.setPath, state.setName, log,
        [&pass](format::ChunkWalk& walk, const format::Chunk& chunk) { pass.Handle(walk, chunk); });
    pass.Clear();
    return result;
}

}  // namespace sorrelwick::specular
