#pragma once

#include <ostream>

#include "protocol/lock_parser.h"

namespace lockframe {

// Feeds a captured byte stream to a frame receiver one byte at a time and
// writes one line for everything the receiver discards: where in the stream
// (byte offsets from 0), why, and the bytes concerned. A run of stray bytes
// is one line, and a frame still open at the end of the stream is reported
// too, since nothing more will end it.
class DropReport {
  public:
    DropReport(protocol::clsLockParser& parser, std::ostream& out);

    void Feed(protocol::ByteView stream);

  private:
    void Dropped(const protocol::LockFrameDrop& drop);
    void EndStrayRun();

    protocol::clsLockParser& parser_;
    std::ostream& out_;
    std::size_t at_ = 0;
    std::size_t strayStart_ = 0;
    protocol::Bytes stray_;
};

}  // namespace lockframe
