#include "SkillLevel.h"

#include <iterator>

namespace {

const int levelCount = int(std::size(skillLevels));

} // namespace

const char* skillName(SkillLevel level) {
    switch (level) {
    case SkillLevel::easy:
        return "easy";
    case SkillLevel::hard:
        return "hard";
    default:
        return "normal";
    }
}

std::optional<SkillLevel> parseSkillLevel(const std::string& name) {
    for (SkillLevel level : skillLevels) {
        if (name == skillName(level)) {
            return level;
        }
    }
    return std::nullopt;
}

SkillLevel nextSkillLevel(SkillLevel level, int steps) {
    int index = (int(level) + steps % levelCount + levelCount) % levelCount;
    return skillLevels[index];
}
