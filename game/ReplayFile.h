#ifndef CUBEFRAY_REPLAYFILE_H
#define CUBEFRAY_REPLAYFILE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <zlib.h>

// A replay file, as other tools may read it too:
//   8 bytes "CFREPLAY", then text lines key=value ending with an empty line (version=1,
//   server=HOST:PORT, name=NAME, id=ID, start=ISO 8601 UTC time),
//   then one zlib stream of records: 4 bytes of milliseconds since the recording began and
//   2 bytes of length (both little-endian), then the datagram as it arrived.
// The stream is flushed with a sync flush now and then, so that a file cut anywhere reads up to
// its last whole record.

const std::string_view replayMagic = "CFREPLAY";
const int replayVersion = 1;

struct ReplayHeader {
    std::string server;
    std::string name;
    // The own player's id as the server's notice gave it.
    int playerID = 0;
    std::string start;
};

struct ReplayRecord {
    uint32_t millis = 0;
    std::string datagram;
};

// The magic and the header lines.
std::string replayHeaderText(const ReplayHeader& header);

// Compresses records as they come; every call appends what is ready to be written to out.
class ReplayCompressor {
  public:
    ReplayCompressor();
    ~ReplayCompressor();
    ReplayCompressor(const ReplayCompressor&) = delete;
    ReplayCompressor& operator=(const ReplayCompressor&) = delete;

    void add(uint32_t millis, std::string_view datagram, std::string& out);
    // Everything added so far becomes readable from what was written.
    void flush(std::string& out);
    // The end of the stream; nothing may be added after it.
    void finish(std::string& out);

  private:
    void deflateInto(std::string_view input, int mode, std::string& out);

    z_stream stream{};
};

// A replay file read: what is sound of it, and what is wrong with the rest.
struct Replay {
    ReplayHeader header;
    std::vector<ReplayRecord> records;
    // Empty when the whole file is sound; otherwise one line on what is wrong, the records
    // before the fault kept.
    std::string problem;
};

Replay readReplay(std::string_view file);

#endif
