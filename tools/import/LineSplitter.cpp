#include "LineSplitter.h"

#include <algorithm>
#include <cstring>

namespace vesnik::tool::import {

void LineSplitter::keep(std::string_view part) {
    if (part.size() >= 2) {
        previous_ = part[part.size() - 2];
        last_ = part.back();
    } else if (part.size() == 1) {
        previous_ = last_;
        last_ = part.back();
    }
    std::size_t const room = limit_ - std::min(limit_, long_.size());
    cut_ = cut_ || part.size() > room;
    long_.append(part.substr(0, room));
}

bool LineSplitter::next(PhysicalLine& line) {
    long_.clear();
    cut_ = false;
    last_ = 0;
    previous_ = 0;
    bool started = false;
    for (;;) {
        if (piece_.empty()) {
            piece_ = source_.next();
            if (piece_.empty()) {
                if (!started) {
                    return false;
                }
                break;
            }
        }
        started = true;
        void const* const found = std::memchr(piece_.data(), '\n', piece_.size());
        if (found == nullptr) {
            keep(piece_);
            piece_ = {};
            continue;
        }
        std::size_t const end =
            static_cast<std::size_t>(static_cast<char const*>(found) - piece_.data());
        std::string_view const rest = piece_.substr(0, end);
        piece_.remove_prefix(end + 1);
        if (long_.empty() && !cut_ && rest.size() <= limit_) {
            // The whole line within one piece: no copy.
            line.text = rest;
            line.cut = false;
            line.last = rest.empty() ? '\0' : rest.back();
            ++number_;
            line.number = number_;
            if (!line.text.empty() && line.text.back() == '\r') {
                line.text.remove_suffix(1);
                line.last = line.text.empty() ? '\0' : line.text.back();
            }
            return true;
        }
        keep(rest);
        break;
    }
    ++number_;
    line.number = number_;
    line.cut = cut_;
    // The CR of a CR LF split from its LF between two pieces.
    if (last_ == '\r') {
        if (!cut_ && !long_.empty()) {
            long_.pop_back();
        }
        last_ = previous_;
    }
    line.text = long_;
    line.last = last_;
    return true;
}

}  // namespace vesnik::tool::import
