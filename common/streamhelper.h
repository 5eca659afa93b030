#pragma once

#include <iosfwd>
#include <string>

// Writes and reads strings on standard streams as a 64-bit length in the
// machine's byte order followed by the bytes. The streams are not owned.
class StreamHelper
{
public:
    StreamHelper(std::ostream* out, std::istream* in);

    bool write(const std::string& text);
    // Reads one string; on failure (a length longer than what the stream
    // still holds, or no stream) `text` is left as it was.
    bool read(std::string& text);

private:
    std::ostream* mOut;
    std::istream* mIn;
};
