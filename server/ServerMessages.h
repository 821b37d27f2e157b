#ifndef CUBEFRAY_SERVER_SERVERMESSAGES_H
#define CUBEFRAY_SERVER_SERVERMESSAGES_H

#include "Messages.h"

#include <string>
#include <vector>

// The bytes of the records the server sends, as the client reads them.

// 's' and the id the joining client plays as.
std::string yourIDMessage(char playerID);
// 'f': every seat is taken.
std::string serverFullMessage();
// A chat line from a player, or from the server with serverSenderID; the text is cut to
// maxTalkLength characters.
std::string talkMessage(char senderID, const std::string& text);
// The first maxPlayersInUpdate records, then records with id 0.
std::string updateMessage(const std::vector<PlayerUpdate>& records);

#endif
