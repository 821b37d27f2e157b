#ifndef CUBEFRAY_SERVER_ADMINCOMMAND_H
#define CUBEFRAY_SERVER_ADMINCOMMAND_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The longest request the admin socket takes, its line feed included: a command and a chat
// notice leave plenty of room.
const size_t maxAdminRequest = 512;

// What the host asks of a running server through the admin socket.
struct AdminCommand {
    enum class Kind { status, kick, ban, unban, bans, bots, say };

    Kind kind = Kind::status;
    // kick: a seat's id or a player's name.
    std::string target;
    // kick: the reason, maybe empty; say: the notice.
    std::string text;
    // ban and unban, in host byte order.
    uint32_t address = 0;
    // ban: nothing for good.
    std::optional<int> minutes;
    // bots: how many to have.
    int bots = 0;
};

// A request read, or why it is refused.
struct AdminRequest {
    AdminCommand command;
    // Empty when the request is a command.
    std::string error;
};

// One request line, without its line feed: the command's word, then its arguments separated by
// blanks; a kick's reason and a notice are the rest of the line. Printable ASCII only, so that
// nothing the host types can break a log line or a chat record.
AdminRequest parseAdminRequest(std::string_view line);

// The server's reply: a line "ok" or "refused", then the command's answer or why it was refused.
std::string formatAdminReply(bool done, const std::string& text);

// A reply as the admin command reads it.
struct AdminReply {
    bool done = false;
    std::string text;
};
// Nothing when the bytes are no reply of a server's.
std::optional<AdminReply> parseAdminReply(std::string_view bytes);

// Collects a connection's bytes up to the request's line feed, or its end, refusing more than
// maxAdminRequest bytes: a client on the socket can hold no more memory than that.
class RequestBuffer {
  public:
    enum class State { incomplete, complete, tooLong };

    // Takes bytes as they arrive; bytes after the line feed are ignored.
    State add(std::string_view bytes);
    // The peer closed its side: what came is the whole request.
    State finish();
    // The request without its line feed, once complete.
    const std::string& line() const { return text; }

  private:
    std::string text;
    State state = State::incomplete;
};

#endif
