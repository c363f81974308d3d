// The code pass over one line that holds many references to the module, as a generated or
// pasted animation table or structured-text line can: the time of the rewrite and the
// characters it copied, which grow with the line's length.
// Usage: fennick_references [references]   (default 100000)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "extractor/rewrite/address_tokens.h"
#include "extractor/rewrite/topological_references.h"

int main(int argc, char** argv) {
    const long references = argc > 1 ? std::atol(argv[1]) : 100000;
    extractor::ModuleContext module;
    module.rack = 0;
    module.slot = 3;
    module.kw1 = 242;
    module.wordCount = 242;
    const extractor::TopologicalReferences rules(module);
    // Process-data words, IODDT bits and configuration words in turn.
    const char* const kinds[] = {"%IW0.3.0.5", "%MW0.3.MOD.2.1", "%QW0.3.0.7.2", "%KW0.3.0.1"};
    std::string line;
    for (long i = 0; i < references; ++i) {
        line += kinds[i % 4];
        line += " + ";
    }
    const std::size_t length = line.size();
    const std::size_t before = extractor::rewrittenCharacters();
    const auto start = std::chrono::steady_clock::now();
    extractor::TopologicalReferences::Counts counts;
    rules.rewrite(line, false, counts);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf(
        "%ld references, line of %zu characters: %.3f s, %zu characters copied, %d + %d "
        "replaced\n",
        references, length, took.count(), extractor::rewrittenCharacters() - before, counts.ioddt,
        counts.direct);
    return 0;
}
