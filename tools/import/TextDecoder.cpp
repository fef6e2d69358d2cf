#include "TextDecoder.h"

#include "SourceBytes.h"
#include "Text.h"

namespace vesnik::tool::import {

namespace {

// A file naming a new character set on every line opens at most this many.
constexpr std::size_t kMostCharsets = 16;

std::string convert(platform::Converter& converter, std::string_view bytes, Summary& summary) {
    std::string text;
    summary.replaced += converter.convert(bytes, text, true);
    return text;
}

}  // namespace

TextDecoder::TextDecoder(std::string const& fallback) {
    if (!fallback.empty()) {
        fallback_ = platform::Converter::open(fallback);
        if (fallback_ == nullptr) {
            throw ImportError("--charset: this system knows no character set '" + fallback + "'");
        }
    }
}

platform::Converter* TextDecoder::converterFor(std::string_view charset) {
    for (auto& [name, converter] : named_) {
        if (equalsIgnoringCase(name, charset)) {
            return converter.get();
        }
    }
    std::unique_ptr<platform::Converter> opened = platform::Converter::open(std::string(charset));
    platform::Converter* const converter = opened.get();
    if (named_.size() == kMostCharsets) {
        named_.erase(named_.begin());
    }
    named_.emplace_back(std::string(charset), std::move(opened));
    return converter;
}

std::string TextDecoder::toUtf8(std::string bytes, std::string_view charset, Location where,
                                Summary& summary) {
    // Every character set a card or CSV file is written in keeps ASCII as
    // it is.
    if (isAscii(bytes)) {
        return bytes;
    }
    if (!charset.empty() && !equalsIgnoringCase(charset, "UTF-8")) {
        if (platform::Converter* const converter = converterFor(charset)) {
            return convert(*converter, bytes, summary);
        }
        summary.noted(where, "character set '" + std::string(charset) +
                                 "' unknown to this system; the value read as UTF-8");
    }
    if (isUtf8(bytes)) {
        return bytes;
    }
    if (fallback_ != nullptr) {
        return convert(*fallback_, bytes, summary);
    }
    throw ImportError(where.text() +
                      ": not UTF-8; name its character set with --charset (for example "
                      "--charset windows-1252)");
}

}  // namespace vesnik::tool::import
