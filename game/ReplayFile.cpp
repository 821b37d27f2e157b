#include "ReplayFile.h"

#include "Messages.h"
#include "StringFloat.h"

#include <cstring>
#include <optional>

namespace {

const size_t recordHeaderSize = 6;
const size_t maxHeaderSize = 4096;
// A replay holds at most this much: about two hours of a full match.
const size_t maxRecords = 1 << 21;
const size_t maxInflated = size_t(512) << 20;

void putLittleEndian(uint64_t value, size_t bytes, std::string& out) {
    for (size_t i = 0; i < bytes; ++i) {
        out += char((value >> (8 * i)) & 0xff);
    }
}

uint32_t littleEndian(std::string_view bytes) {
    uint32_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;) {
        value = value << 8 | uint8_t(bytes[i]);
    }
    return value;
}

// Header values are single lines of text, as read and as written.
std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < ' ' || c == 127) {
            c = ' ';
        }
    }
    return line;
}

// The header's lines into the replay; what is wrong with them, or an empty string.
std::string readHeaderLines(std::string_view lines, ReplayHeader& header) {
    std::optional<int> version;
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find('\n', start);
        std::string_view line = lines.substr(start, end - start);
        start = end + 1;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return "a header line is not key=value";
        }
        std::string key(line.substr(0, equals));
        std::string value = oneLine(line.substr(equals + 1));
        if (key == "version") {
            version = parseWholeNumber(value);
        } else if (key == "server") {
            header.server = value;
        } else if (key == "name") {
            header.name = value;
        } else if (key == "id") {
            header.playerID = parseWholeNumber(value).value_or(0);
        } else if (key == "start") {
            header.start = value;
        }
    }
    if (!version) {
        return "the header names no version";
    }
    if (*version != replayVersion) {
        return "version " + std::to_string(*version) + " is not one this client plays";
    }
    return "";
}

// Inflates the stream as far as it is sound; what stopped it short of its end, or "".
std::string inflateAll(std::string_view compressed, std::string& out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return "the decompressor cannot start";
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = uInt(compressed.size());
    char buffer[65536];
    int status = Z_OK;
    while (status == Z_OK && out.size() < maxInflated) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_SYNC_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_in == 0) {
            break;
        }
    }
    inflateEnd(&stream);
    if (status == Z_STREAM_END) {
        return "";
    }
    if (out.size() >= maxInflated) {
        return "the recording is longer than this client plays";
    }
    return status == Z_BUF_ERROR || status == Z_OK ? "the file ends early"
                                                   : "the recording is damaged";
}

// The records of the inflated stream; what is wrong with them, or "".
std::string readRecords(std::string_view bytes, std::vector<ReplayRecord>& records) {
    size_t at = 0;
    while (bytes.size() - at >= recordHeaderSize) {
        uint32_t millis = littleEndian(bytes.substr(at, 4));
        size_t length = littleEndian(bytes.substr(at + 4, 2));
        if (length > size_t(maxDatagramSize)) {
            return "a record claims " + std::to_string(length) + " bytes, more than a datagram";
        }
        if (!records.empty() && millis < records.back().millis) {
            return "the times go backwards";
        }
        if (bytes.size() - at - recordHeaderSize < length) {
            return "the file ends early";
        }
        if (records.size() == maxRecords) {
            return "the recording is longer than this client plays";
        }
        records.push_back({millis, std::string(bytes.substr(at + recordHeaderSize, length))});
        at += recordHeaderSize + length;
    }
    return at == bytes.size() ? "" : "the file ends early";
}

} // namespace

std::string replayHeaderText(const ReplayHeader& header) {
    return std::string(replayMagic) + "version=" + std::to_string(replayVersion) +
           "\nserver=" + oneLine(header.server) + "\nname=" + oneLine(header.name) +
           "\nid=" + std::to_string(header.playerID) + "\nstart=" + oneLine(header.start) + "\n\n";
}

ReplayCompressor::ReplayCompressor() {
    deflateInit(&stream, Z_DEFAULT_COMPRESSION);
}

ReplayCompressor::~ReplayCompressor() {
    deflateEnd(&stream);
}

void ReplayCompressor::add(uint32_t millis, std::string_view datagram, std::string& out) {
    std::string record;
    putLittleEndian(millis, 4, record);
    putLittleEndian(datagram.size(), 2, record);
    record.append(datagram);
    deflateInto(record, Z_NO_FLUSH, out);
}

void ReplayCompressor::flush(std::string& out) {
    deflateInto({}, Z_SYNC_FLUSH, out);
}

void ReplayCompressor::finish(std::string& out) {
    deflateInto({}, Z_FINISH, out);
}

void ReplayCompressor::deflateInto(std::string_view input, int mode, std::string& out) {
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream.avail_in = uInt(input.size());
    char buffer[16384];
    do {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        deflate(&stream, mode);
        out.append(buffer, sizeof buffer - stream.avail_out);
    } while (stream.avail_out == 0);
}

Replay readReplay(std::string_view file) {
    Replay replay;
    if (file.substr(0, replayMagic.size()) != replayMagic) {
        replay.problem = "it is not a Cubefray replay";
        return replay;
    }
    size_t headerEnd = file.find("\n\n", replayMagic.size());
    if (headerEnd == std::string_view::npos || headerEnd > maxHeaderSize) {
        replay.problem = "its header has no end";
        return replay;
    }
    std::string_view lines = file.substr(replayMagic.size(), headerEnd + 1 - replayMagic.size());
    replay.problem = readHeaderLines(lines, replay.header);
    if (!replay.problem.empty()) {
        return replay;
    }
    std::string inflated;
    std::string streamProblem = inflateAll(file.substr(headerEnd + 2), inflated);
    std::string recordProblem = readRecords(inflated, replay.records);
    replay.problem = !recordProblem.empty() ? recordProblem : streamProblem;
    return replay;
}
