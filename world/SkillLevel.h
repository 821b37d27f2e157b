#ifndef CUBEFRAY_SKILLLEVEL_H
#define CUBEFRAY_SKILLLEVEL_H

#include <optional>
#include <string>

// How well the server's bots play. The server's --bot-skill and the client's bot_skill setting
// name the levels alike, so the client passes its setting on as it reads it.
enum class SkillLevel { easy, normal, hard };

const SkillLevel skillLevels[] = {SkillLevel::easy, SkillLevel::normal, SkillLevel::hard};

const char* skillName(SkillLevel level);
std::optional<SkillLevel> parseSkillLevel(const std::string& name);
// The level so many steps up (down when negative), going round: after hard comes easy.
SkillLevel nextSkillLevel(SkillLevel level, int steps);

#endif
