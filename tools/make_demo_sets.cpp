// make-demo-sets: writes the four demo chess sets, one per naming style,
// into an existing folder. Files of the same names there are replaced.

#include <iostream>
#include <string>

#include "generators/chess_set_builder.h"
#include "generators/demo_set.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
    using namespace sorrelwick;
    if (argc != 2) {
        std::cerr << "usage: make-demo-sets OUTPUT_FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    for (unsigned style = 0; style < gen::kDemoStyleCount; ++style) {
        const gen::DemoSet set = gen::BuildDemoSet(style);
        const std::string path = platform::JoinPath(folder, set.fileName);
        if (!gen::WriteWholeFile(path, set.bytes)) {
            std::cerr << "make-demo-sets: could not write " << path << "\n";
            return 1;
        }
        std::cout << path << " (" << set.bytes.size() << " bytes, " << set.textures.size()
                  << " textures)\n";
    }
    return 0;
}
