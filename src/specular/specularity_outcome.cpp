#include "specular/specularity_outcome.h"

#include "report/messages.h"
#include "specular/object_names.h"

namespace sorrelwick::specular {
namespace {

struct Group {
    SpecularClass cls;
    std::string_view name;
    char colour;  // the colour letter of its piece names; none for the board
};

// In the order the report names them.
constexpr std::array<Group, 3> kGroups = {{{SpecularClass::WhitePieces, "white pieces", 'W'},
                                           {SpecularClass::BlackPieces, "black pieces", 'B'},
                                           {SpecularClass::Board, "board", '\0'}}};

bool Asked(SpecularClass cls, const SpecularPercents& p) {
    switch (cls) {
        case SpecularClass::WhitePieces:
            return p.whiteShininess != 100 || p.whiteAmplitude != 100;
        case SpecularClass::BlackPieces:
            return p.blackShininess != 100 || p.blackAmplitude != 100;
        case SpecularClass::Board:
            return p.boardShininess != 100 || p.boardAmplitude != 100;
        case SpecularClass::None:
            break;
    }
    return false;
}

// A pawn's name as `style` reads it.
std::string PawnName(NamingStyle style, char colour) {
    switch (style) {
        case NamingStyle::C:
            return std::string("<Pawn>") + colour;
        case NamingStyle::D:
            return std::string("<Pawn") + colour + ">";
        case NamingStyle::A:
        case NamingStyle::B:
            break;
    }
    return std::string("Pawn") + colour;
}

// Where the names of the other styles are read.
std::string OtherNamings(NamingStyle style, char colour) {
    const std::string plain = PawnName(NamingStyle::A, colour);
    const std::string closed = PawnName(NamingStyle::C, colour);
    const std::string open = ", one like D1_... selects " + PawnName(NamingStyle::D, colour);
    switch (style) {
        case NamingStyle::C:
            return "a name like A1_... or B1_... selects " + plain + open;
        case NamingStyle::D:
            return "a name like A1_... or B1_... selects " + plain + ", one like C1_... selects " +
                   closed;
        case NamingStyle::A:
        case NamingStyle::B:
            break;
    }
    return "a name like C1_... selects " + closed + open;
}

std::string NotFound(const Group& group, std::string_view setName) {
    if (group.cls == SpecularClass::Board) return report::msg::NoBoardRecognised(setName);
    const NamingStyle style = NamingStyleOf(setName);
    const std::string naming =
        HasNamingForm(setName)
            ? std::string(setName)
            : std::string(setName) + ", named like none of A1_..., B1_..., C1_... or D1_...,";
    return report::msg::NoPiecesRecognised(group.name, naming, PawnName(style, group.colour),
                                           OtherNamings(style, group.colour));
}

}  // namespace

SpecularityOutcome DescribeChanges(const ChangedCounts& counts, const SpecularPercents& percents,
                                   std::string_view setName) {
    SpecularityOutcome outcome;
    std::vector<report::msg::ChangedGroup> changed;
    std::vector<std::string> notFound;
    for (const Group& group : kGroups) {
        if (!Asked(group.cls, percents)) continue;
        const std::size_t count = counts[static_cast<std::size_t>(group.cls)];
        if (count > 0) {
            changed.push_back({count, group.name});
        } else {
            notFound.push_back(NotFound(group, setName));
        }
    }
    if (!changed.empty()) outcome.lines.push_back(report::msg::MaterialsChangedPerGroup(changed));
    outcome.lines.insert(outcome.lines.end(), notFound.begin(), notFound.end());
    outcome.everyAskedGroupFound = notFound.empty();
    return outcome;
}

}  // namespace sorrelwick::specular
