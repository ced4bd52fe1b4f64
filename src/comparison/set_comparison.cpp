#include "comparison/set_comparison.h"

#include <algorithm>
#include <map>
#include <utility>

#include "backup/backup_names.h"
#include "comparison/comparison_walk.h"
#include "set_file/tool_state.h"
#include "specular/classification.h"
#include "specular/material_class_table.h"

namespace sorrelwick::comparison {
namespace {

using Kind = TextureDifference::Kind;

TextureDifference Difference(Kind kind, const TextureRecord& texture) {
    TextureDifference difference;
    difference.kind = kind;
    difference.name = texture.name;
    difference.occurrence = texture.occurrence;
    return difference;
}

void MatchTextures(const std::vector<TextureRecord>& set, const std::vector<TextureRecord>& other,
                   SetComparison& comparison) {
    std::map<std::pair<std::string_view, std::size_t>, std::size_t> otherIndex;
    for (std::size_t j = 0; j < other.size(); ++j) {
        otherIndex.emplace(std::pair{std::string_view(other[j].name), other[j].occurrence}, j);
    }
    std::vector<bool> matched(other.size(), false);
    for (std::size_t i = 0; i < set.size(); ++i) {
        const TextureRecord& mine = set[i];
        const auto found = otherIndex.find({mine.name, mine.occurrence});
        const TextureRecord* theirs = found == otherIndex.end() ? nullptr : &other[found->second];
        if (theirs && theirs->digest == mine.digest && theirs->shape == mine.shape) {
            matched[found->second] = true;
            // The same image under another header variant is none of the lines.
            if (mine.variant != theirs->variant) comparison.otherDataDiffers = true;
            ++comparison.unchangedTextures;
            continue;
        }
        TextureDifference difference = Difference(theirs ? Kind::Changed : Kind::OnlyInSet, mine);
        difference.inSet = mine.shape;
        difference.setIndex = i;
        if (theirs) {
            matched[found->second] = true;
            difference.inOther = theirs->shape;
            difference.otherIndex = found->second;
        }
        comparison.textures.push_back(std::move(difference));
    }
    for (std::size_t j = 0; j < other.size(); ++j) {
        if (matched[j]) continue;
        TextureDifference difference = Difference(Kind::OnlyInOther, other[j]);
        difference.inOther = other[j].shape;
        difference.otherIndex = j;
        comparison.textures.push_back(std::move(difference));
    }
}

// A material whose specular bytes differ, with each file's record where
// it is.
struct MaterialPair {
    format::ChunkKey key;
    std::size_t occurrence = 1;
    const MaterialRecord* inSet = nullptr;
    const MaterialRecord* inOther = nullptr;
};

bool KeyBefore(const MaterialRecord& a, const MaterialRecord& b) {
    return std::pair(a.key.first, a.key.second) < std::pair(b.key.first, b.key.second);
}

// Sorted by key with file order kept among equal keys, the n-th material
// of a key in one list meets the n-th of that key in the other.
std::vector<MaterialPair> ChangedMaterials(std::vector<MaterialRecord>& set,
                                           std::vector<MaterialRecord>& other) {
    std::stable_sort(set.begin(), set.end(), KeyBefore);
    std::stable_sort(other.begin(), other.end(), KeyBefore);
    std::vector<MaterialPair> changed;
    // The n-th material of its key in its list: runs of equal keys are
    // counted as the lists are walked.
    const auto occurrence = [](const std::vector<MaterialRecord>& list, std::size_t at,
                               std::size_t& run) {
        run = at > 0 && list[at - 1].key == list[at].key ? run + 1 : 1;
        return run;
    };
    std::size_t i = 0, j = 0, setRun = 0, otherRun = 0;
    while (i < set.size() || j < other.size()) {
        if (j == other.size() || (i < set.size() && KeyBefore(set[i], other[j]))) {
            changed.push_back({set[i].key, occurrence(set, i, setRun), &set[i], nullptr});
            ++i;
        } else if (i == set.size() || KeyBefore(other[j], set[i])) {
            changed.push_back({other[j].key, occurrence(other, j, otherRun), nullptr, &other[j]});
            ++j;
        } else {
            const std::size_t n = occurrence(set, i, setRun);
            occurrence(other, j, otherRun);
            if (set[i].amplitude != other[j].amplitude || set[i].shininess != other[j].shininess) {
                changed.push_back({set[i].key, n, &set[i], &other[j]});
            }
            ++i;
            ++j;
        }
    }
    return changed;
}

// The classes a set's own names give its materials; empty after the walk's
// failure lines in `log`.
std::optional<specular::MaterialClassTable> ClassesOf(const ComparedSet& file,
                                                      report::ReportLog& log) {
    ToolState state;
    state.setPath = file.path;
    state.setName = file.name;
    specular::MaterialClassTable classes;
    if (!specular::ClassifyMaterials(state, log, classes)) return std::nullopt;
    return classes;
}

void Count(MaterialChange& change, const MaterialPair& pair) {
    ++change.count;
    if (pair.inSet) {
        change.setShininess.Add(pair.inSet->shininess);
        change.setAmplitude.Add(pair.inSet->amplitude);
    }
    if (pair.inOther) {
        change.otherShininess.Add(pair.inOther->shininess);
        change.otherAmplitude.Add(pair.inOther->amplitude);
    }
}

// Each changed material in its class: SET's classification, OTHER's for a
// material only there. Each file is walked again only when it is needed.
bool CountMaterials(const std::vector<MaterialPair>& changed, const ComparedSet& set,
                    const ComparedSet& other, report::ReportLog& log, SetComparison& comparison) {
    const auto needs = [&changed](bool setSide) {
        return std::any_of(changed.begin(), changed.end(), [setSide](const MaterialPair& pair) {
            return setSide ? pair.inSet != nullptr : pair.inSet == nullptr;
        });
    };
    std::optional<specular::MaterialClassTable> setClasses, otherClasses;
    if (needs(true) && !(setClasses = ClassesOf(set, log))) return false;
    if (needs(false) && !(otherClasses = ClassesOf(other, log))) return false;
    for (const MaterialPair& pair : changed) {
        const specular::SpecularClass cls =
            pair.inSet ? setClasses->ClassOf(pair.key) : otherClasses->ClassOf(pair.key);
        Count(comparison.materials[static_cast<std::size_t>(cls)], pair);
        MaterialDifference& difference = comparison.materialDifferences.emplace_back();
        difference.key = pair.key;
        difference.occurrence = pair.occurrence;
        difference.cls = cls;
        if (pair.inSet) difference.inSet = {{pair.inSet->shininess, pair.inSet->amplitude}};
        if (pair.inOther) difference.inOther = {{pair.inOther->shininess, pair.inOther->amplitude}};
    }
    return true;
}

// The backup number `text` spells: decimal digits only, worth at most 999.
std::optional<unsigned> BackupNumberIn(std::string_view text) {
    if (text.empty()) return std::nullopt;
    unsigned number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - '0');
        if (number >= backup::kBackupNumbers) return std::nullopt;
    }
    return number;
}

}  // namespace

void ByteRange::Add(std::uint8_t value) {
    low = empty ? value : std::min(low, value);
    high = empty ? value : std::max(high, value);
    empty = false;
}

std::size_t SetComparison::ChangedMaterials() const {
    std::size_t total = 0;
    for (const MaterialChange& change : materials) total += change.count;
    return total;
}

std::optional<SetComparison> CompareSets(const ComparedSet& set, const ComparedSet& other,
                                         report::ReportLog& log,
                                         const FileBytesVisit& otherBytes) {
    std::optional<WalkedPair> walked = WalkBothSets(set, other, log, otherBytes);
    if (!walked) return std::nullopt;
    SetComparison comparison;
    comparison.identical = walked->identical;
    if (comparison.identical) {
        comparison.unchangedTextures = walked->set.textures.size();
        return comparison;
    }
    MatchTextures(walked->set.textures, walked->other.textures, comparison);
    comparison.otherDataDiffers |= walked->set.restDigest != walked->other.restDigest;
    const std::vector<MaterialPair> changed =
        ChangedMaterials(walked->set.materials, walked->other.materials);
    if (!CountMaterials(changed, set, other, log, comparison)) return std::nullopt;
    // Files that differ say so, even where two digests happen to agree.
    if (comparison.textures.empty() && changed.empty()) comparison.otherDataDiffers = true;
    return comparison;
}

std::optional<std::string> OtherSetPath(std::string_view setPath, std::string_view other) {
    const std::optional<unsigned> number = BackupNumberIn(other);
    if (!number) return std::string(other);
    const std::optional<std::string_view> stem = backup::BackupStem(setPath);
    if (!stem) return std::nullopt;
    return backup::NumberedPath(*stem, *number);
}

}  // namespace sorrelwick::comparison
