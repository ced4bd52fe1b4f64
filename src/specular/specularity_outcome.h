#pragma once
// What the specularity change tells about the materials it changed.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "set_file/tool_state.h"
#include "specular/specular_class.h"

namespace sorrelwick::specular {

// Material chunks scaled, by SpecularClass.
using ChangedCounts = std::array<std::size_t, 4>;

struct SpecularityOutcome {
    std::vector<std::string> lines;
    bool everyAskedGroupFound = true;
};

// The line with the count of each group the user asked to change (a
// percent other than 100), and one line for each such group of which no
// material was found, saying why when the set's name is the reason: piece
// names are read in the naming `setName` selects.
SpecularityOutcome DescribeChanges(const ChangedCounts& counts, const SpecularPercents& percents,
                                   std::string_view setName);

}  // namespace sorrelwick::specular
