#include "Summary.h"

#include <algorithm>

namespace vesnik::tool::import {

namespace {

constexpr std::size_t kMessagesShown = 20;
// Names beyond these are counted together, so that a file of made-up names
// cannot grow the table without bound.
constexpr std::size_t kNamesCounted = 64;
constexpr std::size_t kLongestName = 40;

std::string counted(std::uint64_t count, char const* one, char const* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// A property name as it may be shown: upper case, printable ASCII, short.
std::string_view shownName(std::string_view name, char (&shown)[kLongestName]) {
    std::size_t const length = std::min(name.size(), kLongestName);
    for (std::size_t i = 0; i < length; ++i) {
        char const c = name[i];
        shown[i] = c >= 'a' && c <= 'z'  ? static_cast<char>(c - 'a' + 'A')
                   : c > ' ' && c < 0x7F ? c
                                         : '?';
    }
    return std::string_view(shown, length);
}

}  // namespace

std::string Location::text() const {
    return *source + ":" + std::to_string(line);
}

void MessageList::add(std::string message) {
    if (kept_.size() < kMessagesShown) {
        kept_.push_back(std::move(message));
    }
    ++count_;
}

std::string MessageList::text(char const* whatMore) const {
    std::string text;
    for (std::string const& message : kept_) {
        text += message + "\n";
    }
    if (count_ > kept_.size()) {
        text += "and " + std::to_string(count_ - kept_.size()) + " more " + whatMore + "\n";
    }
    return text;
}

void Summary::changed(Location where, std::string const& what) {
    changes_.add(where.text() + ": " + what);
}

void Summary::noted(Location where, std::string const& what) {
    notes_.add(where.text() + ": " + what);
}

void Summary::skipped(std::string const& why) {
    skips_.add(why);
}

void Summary::notImported(std::string_view property) {
    char buffer[kLongestName];
    std::string_view const name = shownName(property, buffer);
    auto const found = notImported_.find(name);
    if (found != notImported_.end()) {
        ++found->second;
    } else if (notImported_.size() < kNamesCounted) {
        notImported_.emplace(std::string(name), 1);
    } else {
        ++otherNotImported_;
    }
}

std::string Summary::report(std::string const& destination) const {
    std::string text = "vesnik: read " + counted(files, "file", "files") + ": " +
                       counted(cards, "card", "cards") + ", " + counted(rows, "row", "rows") +
                       "; wrote " + counted(lines, "line", "lines") + " to " + destination + "\n";
    if (withoutEmail != 0) {
        text += "vesnik: left out " + counted(withoutEmail, "card", "cards") +
                " without an e-mail address\n";
    }
    if (replaced != 0) {
        text += "vesnik: " + counted(replaced, "byte", "bytes") +
                " not valid in their character set written as U+FFFD\n";
    }
    text += skips_.text("files skipped");
    text += notes_.text("notes");
    text += changes_.text("changed values");
    for (auto const& [name, count] : notImported_) {
        text += name + ": " + counted(count, "value", "values") + " not imported\n";
    }
    if (otherNotImported_ != 0) {
        text += "other properties: " + counted(otherNotImported_, "value", "values") +
                " not imported\n";
    }
    return text;
}

}  // namespace vesnik::tool::import
