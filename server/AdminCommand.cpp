#include "AdminCommand.h"

#include "Bans.h"
#include "Datagram.h"
#include "GameServer.h"
#include "StringFloat.h"

#include <algorithm>

namespace {

const char* const commandList = "status, kick, ban, unban, bans, bots, say";
const char* const doneWord = "ok\n";
const char* const refusedWord = "refused\n";

AdminRequest refusal(const std::string& error) {
    AdminRequest request;
    request.error = error;
    return request;
}

AdminRequest accepted(AdminCommand command) {
    AdminRequest request;
    request.command = std::move(command);
    return request;
}

// The first blank-separated word of rest, removed from it with the blanks after it.
std::string takeWord(std::string_view& rest) {
    size_t end = std::min(rest.find(' '), rest.size());
    std::string word(rest.substr(0, end));
    size_t next = rest.find_first_not_of(' ', end);
    rest = next == std::string_view::npos ? std::string_view() : rest.substr(next);
    return word;
}

AdminRequest readBan(AdminCommand command, std::string_view rest) {
    std::string address = takeWord(rest);
    std::optional<uint32_t> ip = parseIPv4(address);
    if (!ip) {
        return refusal("ban needs an IPv4 address as A.B.C.D, got '" + address + "'");
    }
    command.address = *ip;
    if (rest.empty()) {
        return accepted(command);
    }
    std::string minutes = takeWord(rest);
    command.minutes = parseWholeNumber(minutes);
    if (!command.minutes || *command.minutes < 1 || *command.minutes > maxBanMinutes ||
        !rest.empty()) {
        return refusal("ban takes minutes from 1 to " + std::to_string(maxBanMinutes) +
                       " after the address, got '" + minutes + "'");
    }
    return accepted(command);
}

AdminRequest readUnban(AdminCommand command, std::string_view rest) {
    std::string address(rest);
    std::optional<uint32_t> ip = parseIPv4(address);
    if (!ip) {
        return refusal("unban needs an IPv4 address as A.B.C.D, got '" + address + "'");
    }
    command.address = *ip;
    return accepted(command);
}

AdminRequest readBots(AdminCommand command, std::string_view rest) {
    std::optional<int> count = parseWholeNumber(std::string(rest));
    if (!count || *count < 0 || *count > maxBots) {
        return refusal("bots needs a number from 0 to " + std::to_string(maxBots) + ", got '" +
                       std::string(rest) + "'");
    }
    command.bots = *count;
    return accepted(command);
}

AdminRequest readCommand(const std::string& word, std::string_view rest) {
    AdminCommand command;
    if (word == "status" || word == "bans") {
        command.kind = word == "status" ? AdminCommand::Kind::status : AdminCommand::Kind::bans;
        return rest.empty() ? accepted(command) : refusal(word + " takes no arguments");
    }
    if (word == "kick") {
        command.kind = AdminCommand::Kind::kick;
        command.target = takeWord(rest);
        command.text = std::string(rest);
        return command.target.empty() ? refusal("kick needs a player's id or name")
                                      : accepted(command);
    }
    if (word == "say") {
        command.kind = AdminCommand::Kind::say;
        command.text = std::string(rest);
        return rest.empty() ? refusal("say needs a text") : accepted(command);
    }
    if (word == "ban") {
        command.kind = AdminCommand::Kind::ban;
        return readBan(command, rest);
    }
    if (word == "unban") {
        command.kind = AdminCommand::Kind::unban;
        return readUnban(command, rest);
    }
    if (word == "bots") {
        command.kind = AdminCommand::Kind::bots;
        return readBots(command, rest);
    }
    return refusal("unknown command '" + word + "'; the commands are " + commandList);
}

} // namespace

AdminRequest parseAdminRequest(std::string_view line) {
    if (!std::all_of(line.begin(), line.end(), [](char c) { return c >= ' ' && c <= '~'; })) {
        return refusal("a request holds printable ASCII only");
    }
    size_t first = line.find_first_not_of(' ');
    size_t last = line.find_last_not_of(' ');
    if (first == std::string_view::npos) {
        return refusal(std::string("an empty request; the commands are ") + commandList);
    }
    std::string_view rest = line.substr(first, last - first + 1);
    std::string word = takeWord(rest);
    return readCommand(word, rest);
}

RequestBuffer::State RequestBuffer::add(std::string_view bytes) {
    if (state != State::incomplete) {
        return state;
    }
    size_t end = bytes.find('\n');
    text.append(bytes.substr(0, std::min(end, maxAdminRequest)));
    if (text.size() >= maxAdminRequest) {
        state = State::tooLong;
    } else if (end != std::string_view::npos) {
        state = State::complete;
    }
    return state;
}

RequestBuffer::State RequestBuffer::finish() {
    if (state == State::incomplete) {
        state = State::complete;
    }
    return state;
}

std::string formatAdminReply(bool done, const std::string& text) {
    return (done ? doneWord : refusedWord) + text;
}

std::optional<AdminReply> parseAdminReply(std::string_view bytes) {
    for (bool done : {true, false}) {
        std::string_view word = done ? doneWord : refusedWord;
        if (bytes.substr(0, word.size()) == word) {
            return AdminReply{done, std::string(bytes.substr(word.size()))};
        }
    }
    return std::nullopt;
}
