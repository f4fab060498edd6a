// Writes the small dictionaries of the fuzz programs into seed folders:
//   fuzz_seedgen DIR   ->  DIR/crdic/small.crd, DIR/coarse/small.ccd, DIR/bigram/small.cbg
#include "tools/fuzz/fuzz_support.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seedgen DIR\n");
        return 2;
    }
    const fuzz::SmallDictionaries& d = fuzz::Small();
    const std::filesystem::path dir(argv[1]);
    const std::pair<const std::string*, const char*> files[] = {{&d.pattern, "crdic/small.crd"},
                                                                {&d.coarse, "coarse/small.ccd"},
                                                                {&d.bigram, "bigram/small.cbg"}};
    int status = 0;
    for (auto [from, to] : files) {
        std::error_code ec;
        const std::filesystem::path target = dir / to;
        std::filesystem::create_directories(target.parent_path(), ec);
        if (from->empty() ||
            !std::filesystem::copy_file(*from, target,
                                        std::filesystem::copy_options::overwrite_existing, ec)) {
            std::fprintf(stderr, "fuzz_seedgen: cannot write %s\n", target.c_str());
            status = 1;
        }
    }
    return status;
}
