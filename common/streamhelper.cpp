#include "common/streamhelper.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <istream>
#include <ostream>

namespace {

// A bogus length never makes the reader allocate more than it has read.
constexpr std::uint64_t kReadChunk = 64 * 1024;

} // namespace

StreamHelper::StreamHelper(std::ostream* out, std::istream* in)
    : mOut(out)
    , mIn(in)
{
}

bool StreamHelper::write(const std::string& text)
{
    if (!mOut)
        return false;
    const std::uint64_t length = text.size();
    char lengthBytes[sizeof length];
    std::memcpy(lengthBytes, &length, sizeof length);
    mOut->write(lengthBytes, sizeof lengthBytes);
    mOut->write(text.data(), std::streamsize(text.size()));
    return bool(*mOut);
}

bool StreamHelper::read(std::string& text)
{
    if (!mIn)
        return false;
    char lengthBytes[sizeof(std::uint64_t)];
    if (!mIn->read(lengthBytes, sizeof lengthBytes))
        return false;
    std::uint64_t length = 0;
    std::memcpy(&length, lengthBytes, sizeof length);

    std::string received;
    while (received.size() < length) {
        const std::uint64_t chunk = std::min<std::uint64_t>(kReadChunk, length - received.size());
        const std::size_t offset = received.size();
        received.resize(offset + std::size_t(chunk));
        if (!mIn->read(received.data() + offset, std::streamsize(chunk)))
            return false;
    }
    text = std::move(received);
    return true;
}
