#pragma once

class QByteArray;
class QString;
struct Dive;

// The dive's JSON form (Dive::toJson) encoded as CBOR, written from and read
// into the dive directly, with no tree of values in between: a long dive
// has hundreds of thousands of samples.
namespace divecbor {

// The bytes that converting Dive::toJson to CBOR gives: keys in the JSON
// object's order, whole numbers as integers.
QByteArray encode(const Dive& dive);

// Reads an encoded dive as Dive::fromJson reads its JSON object, whatever the
// order of the keys and whether numbers come as integers or floating point.
// Refuses, with the reason in `error` and the dive unchanged, damaged CBOR, a
// top value that is not a map, a number that is not finite, nesting deeper
// than the form has, and lists longer than any dive holds; declared lengths
// are never trusted for allocation.
bool decode(const QByteArray& cbor, Dive& dive, QString& error);

} // namespace divecbor
