// Replay files as a damaged disk, a cut download or a hostile sender could hand them over: the
// reader keeps what is sound, says what is not, and what it keeps plays.
#include "FuzzSupport.h"
#include "Messages.h"
#include "ReplayFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Replay replay = readReplay(std::string_view(reinterpret_cast<const char*>(data), size));
    uint32_t last = 0;
    for (const ReplayRecord& record : replay.records) {
        promise(record.datagram.size() <= size_t(maxDatagramSize), "records fit a datagram");
        promise(record.millis >= last, "times never go backwards");
        last = record.millis;
    }
    // What was read is written again the same way and reads back the same.
    std::string again = replayHeaderText(replay.header);
    ReplayCompressor compressor;
    for (const ReplayRecord& record : replay.records) {
        compressor.add(record.millis, record.datagram, again);
    }
    compressor.finish(again);
    Replay reread = readReplay(again);
    promise(reread.problem.empty() && reread.records.size() == replay.records.size(),
            "what was kept writes a sound file");
    for (size_t i = 0; i < reread.records.size(); ++i) {
        promise(reread.records[i].millis == replay.records[i].millis &&
                    reread.records[i].datagram == replay.records[i].datagram,
                "and reads back the same");
    }
    promise(reread.header.server == replay.header.server &&
                reread.header.name == replay.header.name,
            "the header reads back");
    return 0;
}
