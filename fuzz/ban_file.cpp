// The state file of the bans as the server reads it at start: each damaged line named by its
// number and quoted in printable form, the rest read, and what the server writes read back the
// same.
#include "Bans.h"
#include "FuzzSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

size_t lineCount(const std::string& text) {
    return size_t(std::count(text.begin(), text.end(), '\n')) + 1;
}

void checkProblem(const std::string& problem, const std::string& text) {
    size_t line = std::strtoul(problem.c_str() + std::strlen("line "), nullptr, 10);
    promise(problem.rfind("line ", 0) == 0 && line >= 1 && line <= lineCount(text),
            "a problem names one of the file's lines");
    promise(problem.size() < 200 && std::all_of(problem.begin(), problem.end(),
                                                [](char c) { return c >= ' ' && c <= '~'; }),
            "a problem is one short printable line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    BanFileRead read = parseBanFile(text);
    for (const std::string& problem : read.problems) {
        checkProblem(problem, text);
    }
    promise(read.bans.entries().size() <= BanList::maxBans, "no more bans than the list keeps");
    for (const auto& [ip, end] : read.bans.entries()) {
        promise(!end || parseUtcText(utcText(*end)) == end, "ends read back");
    }
    BanFileRead again = parseBanFile(formatBanFile(read.bans));
    promise(again.problems.empty() && again.bans.entries() == read.bans.entries(),
            "what the server writes reads back");
    return 0;
}
