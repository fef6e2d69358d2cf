#include "FuzzInput.h"

#include <algorithm>

#include "Bytes32.h"
#include "reference/Differences.h"
#include "reference/ReferenceBook.h"

namespace vesnik::fuzz {

namespace {

// The engine's first read is this long; a filler line ends up to 4 KiB
// before it.
constexpr std::size_t kFirstRead = 8 * 1024;
constexpr std::size_t kFillerStep = 32;

std::string fillerLine(std::uint8_t placement) {
    if ((placement & 0x80) == 0) {
        return {};
    }
    std::size_t const length = kFirstRead - 1 - (placement & 0x7Fu) * kFillerStep;
    return std::string(length - 1, '#') + "\n";
}

}  // namespace

FuzzInput decode(std::uint8_t const* data, std::size_t size) {
    FuzzInput input;
    std::size_t position = 0;
    auto const take = [&](std::size_t count) {
        count = std::min(count, size - position);
        std::string bytes(reinterpret_cast<char const*>(data) + position, count);
        position += count;
        return bytes;
    };
    std::string const length = take(1);
    std::string const key = take(length.empty() ? 0u : static_cast<unsigned char>(length[0]) % 64u);
    input.key = key.substr(0, key.find('\0'));
    std::string const placement = take(1);
    input.placement = placement.empty() ? 0 : static_cast<std::uint8_t>(placement[0]);
    input.book = fillerLine(input.placement) + take(size);
    return input;
}

std::optional<std::string> differenceFor(FuzzInput const& input) {
    auto const asks = reference::asksFor(reference::readBytes(input.book), {input.key}, {input.key},
                                         input.placement, reference::Breadth::kNarrow);
    // With wide blocks, where the processor has them, and with sixteen-byte
    // blocks alone.
    std::optional<std::string> difference;
    for (bool const wide : {true, false}) {
        bytes32::setEnabled(wide);
        if (!difference) {
            difference = reference::firstEngineDifference(input.book, asks);
        }
    }
    bytes32::setEnabled(true);
    return difference;
}

}  // namespace vesnik::fuzz
